#include "ui/CKelvoRes.h"
#include "ui/KelvoImageTable.h"

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>

namespace {

void ExpectMatchesTable(const QImage& img, const KelvoImageSpec& spec)
{
    ASSERT_FALSE(img.isNull()) << "image " << spec.id;
    EXPECT_EQ(img.width(), spec.width) << "image " << spec.id;
    EXPECT_EQ(img.height(), spec.height) << "image " << spec.id;
    EXPECT_TRUE(img.hasAlphaChannel()) << "image " << spec.id;
    EXPECT_EQ(spec.width % spec.frames, 0) << "image " << spec.id << " frames are not of equal width";
}

} // namespace

TEST(SkinImages, EveryTableEntryIsAResourceOfItsSize)
{
    std::set<int> ids;
    for (const auto& spec : kKelvoImages) {
        EXPECT_TRUE(ids.insert(spec.id).second) << "duplicate id " << spec.id;
        ExpectMatchesTable(QImage(CNxImages::ResourcePath(spec.id)), spec);
    }
}

TEST(SkinImages, SkinStripsHaveTheirFrameLayout)
{
    CKelvoRes::Instance().Load();
    const CKelvoRes& r = KelvoRes();
    struct Case
    {
        const CNxImages* image;
        int id;
        int frames;
        QSize frame;
    };
    const Case cases[] = {
        {&r.imgPlayerIdle, Kelvo::IDB_PLAYER_IDLE, 1, {1920, 1080}},
        {&r.imgEditFrame, Kelvo::IDB_EDIT_FRAME, 3, {10, 21}},
        {&r.imgFrameBottom, Kelvo::IDB_FRAME_BOTTOM, 3, {10, 9}},
        {&r.imgFrameLeft, Kelvo::IDB_FRAME_LEFT, 1, {5, 10}},
        {&r.imgBarDark38, Kelvo::IDB_BAR_DARK_38, 3, {10, 38}},
        {&r.imgDialogCaption, Kelvo::IDB_DIALOG_CAPTION, 3, {40, 38}},
        {&r.imgSearchBox, Kelvo::IDB_SEARCH_BOX, 3, {30, 28}},
        {&r.imgIconsTimer, Kelvo::IDB_ICONS_TIMER, 4, {27, 25}},
        {&r.imgIconsSchedule, Kelvo::IDB_ICONS_SCHEDULE, 10, {30, 30}},
        {&r.imgIconsClock, Kelvo::IDB_ICONS_CLOCK, 4, {30, 30}},
        {&r.imgIconsAdd, Kelvo::IDB_ICONS_ADD, 2, {35, 34}},
        {&r.imgInfoBoxBack, Kelvo::IDB_INFO_BOX_BACK, 3, {10, 45}},
        {&r.imgRowBlue75, Kelvo::IDB_ROW_BLUE_75, 1, {30, 75}},
        {&r.imgChannelTag, Kelvo::IDB_CHANNEL_TAG, 1, {14, 44}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.image->Id(), c.id);
        EXPECT_EQ(c.image->FrameCount(), c.frames) << c.id;
        EXPECT_EQ(c.image->FrameSize(), c.frame) << c.id;
    }
}

// Every numeric image id that code hands to an image loader must be in the table, so a view
// can never ask for a picture that does not exist.
TEST(SkinImages, EveryIdTheCodeLoadsExists)
{
    const QRegularExpression call(QStringLiteral(
        R"(\b(?:Load|SetImage|SetImages|SetCheckedImage|SetHotImage|ShowImage|SetScrollBarImage)"
        R"(|LoadImageId)\s*\(\s*(?:[^,()]*,\s*)?(\d{3})\b)"));
    // the skin's own table of strips: {&imgName, id, ...}
    const QRegularExpression skinEntry(QStringLiteral(R"(\{&img\w+,\s*(\d{3})\b)"));
    int found = 0;
    for (const char* area : {"ui", "app", "player", "views", "tools/gallery"}) {
        QDirIterator it(QStringLiteral(KELVO_SOURCE_DIR "/") + QLatin1String(area),
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(f.readAll());
            for (const auto* re : {&call, &skinEntry}) {
                for (auto m = re->globalMatch(text); m.hasNext();) {
                    const int id = m.next().captured(1).toInt();
                    ++found;
                    EXPECT_NE(FindKelvoImage(id), nullptr)
                        << "image " << id << " used in " << it.filePath().toStdString();
                }
            }
        }
    }
    EXPECT_GT(found, 0);
}

TEST(SkinImages, GeneratorDrawsEveryImageAtItsTableSize)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcess gen;
    gen.start(QStringLiteral(KELVO_IMAGEGEN), {dir.path()});
    ASSERT_TRUE(gen.waitForFinished(60000));
    ASSERT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().toStdString();
    for (const auto& spec : kKelvoImages) {
        ExpectMatchesTable(QImage(dir.filePath(QStringLiteral("%1.png").arg(spec.id))), spec);
    }
}
