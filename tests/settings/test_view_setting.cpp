// The settings form on the offscreen platform: loading and saving, the address controls under
// real key events, the stream-to-other-device switch, the nearby list's rules as the user sees
// them, leaving and coming back, the caption bar's part and the layout. Nothing here searches:
// discovery is tested in a private network namespace (test_view_setting_discovery).

#include "SettingsTestSupport.h"
#include "UiTestHelpers.h"
#include "commands/CMainFrameMessages.h"
#include "commands/KelvoCommandIds.h"
#include "res/CStringTable.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoComboBox.h"
#include "ui/CKelvoRes.h"
#include "ui/CNxButton.h"
#include "ui/CNxStatic.h"
#include "views/settings/CKelvoIPAddressCtrl.h"
#include "views/settings/CKelvoScanIPListBox.h"
#include "views/settings/CKelvoViewSetting.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {
using V = CKelvoViewSetting;

UpnpDevice Box(quint32 address, const char* udn, const char* name = "NORVA+ Media Server")
{
    return {QString::fromLatin1(udn), QString::fromLatin1(name), QStringLiteral("http://x:1/d.xml"), address};
}

class SettingsView : public testing::Test
{
protected:
    void SetUp() override
    {
        CKelvoRes::Instance().Load();
        view = std::make_unique<CKelvoViewSetting>(messages);
        view->SetDiscoveryScope(DiscoveryScope::None);
        view->resize(1000, 640);
        view->show();
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
        view->LoadFromSettings(Stored());
    }

    template <typename T> T* Ctl(int id) const
    {
        auto* widget = qobject_cast<T*>(view->Control(id));
        EXPECT_NE(widget, nullptr) << id;
        return widget;
    }
    CKelvoIPAddressCtrl* Address() const { return Ctl<CKelvoIPAddressCtrl>(V::IDC_ADDRESS); }
    CKelvoScanIPListBox* List() const { return Ctl<CKelvoScanIPListBox>(V::IDC_NEARBY_LIST); }
    bool ConnectedShown() const { return !view->Control(V::IDC_CONNECTED)->isHidden(); }

    // Keys go where the keyboard focus is, as they would for a user.
    static void Keys(const QString& text)
    {
        for (const QChar c : text) {
            QWidget* focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr);
            QTest::keyClick(focus, c.toLatin1());
        }
    }
    static void Key(Qt::Key key)
    {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, key);
    }
    static void ClickRow(CKelvoScanIPListBox* list, int row)
    {
        uitest::Click(list, list->GetItemRect(row).center());
    }

    CMainFrameMessages messages;
    std::unique_ptr<CKelvoViewSetting> view;
};

TEST_F(SettingsView, LoadFromFillsTheControlsAndSaveGivesTheSameBack)
{
    EXPECT_EQ(Address()->Octets(), O("192", "168", "1", "20"));
    EXPECT_EQ(Ctl<CKelvoComboBox>(V::IDC_PROTOCOL)->currentText(), QStringLiteral("UDP"));
    EXPECT_EQ(Ctl<QLineEdit>(V::IDC_PIN)->text(), QStringLiteral("0000"));
    EXPECT_EQ(Ctl<QLineEdit>(V::IDC_USER)->text(), QStringLiteral("admin"));
    EXPECT_EQ(Ctl<QLineEdit>(V::IDC_PASSWORD)->text(), QStringLiteral("s3cret"));
    EXPECT_EQ(Ctl<QLineEdit>(V::IDC_PIN)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Ctl<QLineEdit>(V::IDC_PASSWORD)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Ctl<QLineEdit>(V::IDC_USER)->echoMode(), QLineEdit::Normal);
    EXPECT_TRUE(Ctl<CNxButton>(V::IDC_STOD_ON)->isChecked());
    EXPECT_FALSE(Ctl<CNxButton>(V::IDC_STOD_OFF)->isChecked());
    EXPECT_EQ(Ctl<CKelvoIPAddressCtrl>(V::IDC_STOD_ADDRESS)->Octets(), O("192", "168", "1", "77"));
    EXPECT_EQ(Ctl<QLineEdit>(V::IDC_STOD_PORT)->text(), QStringLiteral("1234"));
    EXPECT_EQ(Ctl<CKelvoComboBox>(V::IDC_STOD_PROTOCOL)->currentText(), QStringLiteral("RTP"));
    EXPECT_EQ(view->SaveToSettings(), Stored());
    EXPECT_FALSE(view->CheckInput());

    // The lists offer the three protocols in this order, each row carrying its value.
    auto* protocol = Ctl<CKelvoComboBox>(V::IDC_PROTOCOL);
    ASSERT_EQ(protocol->count(), 3);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(protocol->itemData(row).toInt(), row);
    EXPECT_EQ(protocol->itemText(2), QStringLiteral("HLS"));
}

TEST_F(SettingsView, AnUnknownStoredProtocolShowsNoRowAndIsSavedAsMinusOne)
{
    CBoxConnection odd = Stored();
    odd.settings.streamingProtocol = 7;
    odd.settings.stodProtocol = -3;
    view->LoadFromSettings(odd);
    EXPECT_EQ(Ctl<CKelvoComboBox>(V::IDC_PROTOCOL)->currentIndex(), -1);
    EXPECT_EQ(Ctl<CKelvoComboBox>(V::IDC_STOD_PROTOCOL)->currentIndex(), -1);
    EXPECT_EQ(view->SaveToSettings().settings.streamingProtocol, -1);
    EXPECT_EQ(view->SaveToSettings().settings.stodProtocol, -1);
}

TEST_F(SettingsView, TheAddressControlUnderTheKeyboard)
{
    struct Case
    {
        const char* what;
        Octets start;
        int field;
        std::function<void()> input;
        Octets expected;
        int focusField;
    };
    const Case cases[] = {
        {"typing a whole address, dots moving on",
         {},
         0,
         [] { Keys(QStringLiteral("192.168.1.20")); },
         O("192", "168", "1", "20"),
         3},
        {"three digits move on without a dot",
         {},
         0,
         [] { Keys(QStringLiteral("10011")); },
         O("100", "11", "", ""),
         1},
        {"an out-of-range octet becomes 255",
         {},
         1,
         [] { Keys(QStringLiteral("300")); },
         O("", "255", "", ""),
         2},
        {"letters are not taken", {}, 0, [] { Keys(QStringLiteral("1x2")); }, O("12", "", "", ""), 0},
        {"a dot in an empty field stays", {}, 0, [] { Keys(QStringLiteral(".")); }, O("", "", "", ""), 0},
        {"pasting a whole address into the third field", O("1", "2", "", ""), 2,
         [] {
             QGuiApplication::clipboard()->setText(QStringLiteral("10.0.0.7"));
             QTest::keySequence(QApplication::focusWidget(), QKeySequence::Paste);
         },
         O("10", "0", "0", "7"), 3},
        {"left at the start goes to the end of the previous field", O("1", "2", "3", "4"), 2,
         [] {
             Key(Qt::Key_Home);
             Key(Qt::Key_Left);
             Keys(QStringLiteral("5"));
         },
         O("1", "25", "3", "4"), 1},
        {"right at the end goes to the start of the next field", O("1", "2", "3", "4"), 0,
         [] {
             Key(Qt::Key_End);
             Key(Qt::Key_Right);
             Keys(QStringLiteral("9"));
         },
         O("1", "92", "3", "4"), 1},
        {"backspace in an empty field goes back", O("1", "2", "", ""), 2,
         [] {
             Key(Qt::Key_Backspace);
             Key(Qt::Key_Backspace);
         },
         O("1", "", "", ""), 1},
    };
    CKelvoIPAddressCtrl* address = Address();
    for (const Case& c : cases) {
        address->SetOctets(c.start);
        address->FocusField(c.field);
        if (!c.start[static_cast<size_t>(c.field)].isEmpty())
            address->Field(c.field)->deselect();
        c.input();
        EXPECT_EQ(address->Octets(), c.expected) << c.what;
        EXPECT_EQ(QApplication::focusWidget(), address->Field(c.focusField)) << c.what;
    }
}

TEST_F(SettingsView, StreamingToTheOtherDeviceOffDisablesItsFieldsButKeepsAndSavesThem)
{
    const int targets[] = {V::IDC_STOD_ADDRESS, V::IDC_STOD_PORT, V::IDC_STOD_PROTOCOL};
    auto* off = Ctl<CNxButton>(V::IDC_STOD_OFF);
    auto* on = Ctl<CNxButton>(V::IDC_STOD_ON);
    QTest::mouseClick(off, Qt::LeftButton);
    EXPECT_TRUE(off->isChecked());
    EXPECT_FALSE(on->isChecked());
    for (const int id : targets)
        EXPECT_FALSE(view->Control(id)->isEnabled()) << id;
    CBoxConnection expected = Stored();
    expected.settings.stodEnabled = false;
    EXPECT_EQ(view->SaveToSettings(), expected) << "disabled fields are still saved with what they hold";

    // A stored "off" loads with the fields disabled; ON enables them again.
    view->LoadFromSettings(expected);
    for (const int id : targets)
        EXPECT_FALSE(view->Control(id)->isEnabled()) << id;
    QTest::mouseClick(on, Qt::LeftButton);
    for (const int id : targets)
        EXPECT_TRUE(view->Control(id)->isEnabled()) << id;
    EXPECT_TRUE(view->SaveToSettings().settings.stodEnabled);

    // The arrow keys move the check within the pair, and the fields follow it too.
    on->setFocus();
    QTest::keyClick(on, Qt::Key_Right);
    EXPECT_TRUE(off->isChecked());
    for (const int id : targets)
        EXPECT_FALSE(view->Control(id)->isEnabled()) << id;
}

// The quick-start pair and the other-device pair share a parent; clicking one pair must leave the
// other's choice alone.
TEST_F(SettingsView, QuickStartIsAPairOfItsOwn)
{
    auto* stodOn = Ctl<QAbstractButton>(V::IDC_STOD_ON);
    auto* stodOff = Ctl<QAbstractButton>(V::IDC_STOD_OFF);
    const bool stodWasOn = stodOn->isChecked();
    ASSERT_NE(stodWasOn, stodOff->isChecked());
    for (const bool quick : {false, true, false}) {
        QTest::mouseClick(Ctl<QAbstractButton>(quick ? V::IDC_QUICK_START_ON : V::IDC_QUICK_START_OFF),
                          Qt::LeftButton);
        EXPECT_EQ(view->QuickStart(), quick);
        EXPECT_EQ(stodOn->isChecked(), stodWasOn);
        EXPECT_NE(stodOff->isChecked(), stodWasOn);
    }
    view->SetQuickStart(true);
    EXPECT_TRUE(view->QuickStart());
    EXPECT_TRUE(Ctl<QAbstractButton>(V::IDC_QUICK_START_ON)->isChecked());
}

TEST_F(SettingsView, CheckInputRefusesAnAddressTypedInPartAndPointsAtIt)
{
    Address()->SetOctets(O("192", "168", "", "20"));
    const auto problem = view->CheckInput();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, CSettingsInput::Field::BoxAddress);
    EXPECT_EQ(QApplication::focusWidget(), Address()->Field(2));

    Address()->SetOctets(O("192", "168", "1", "20"));
    Ctl<QLineEdit>(V::IDC_STOD_PORT)->setText(QStringLiteral("70000"));
    const auto port = view->CheckInput();
    ASSERT_TRUE(port);
    EXPECT_EQ(port->field, CSettingsInput::Field::StodPort);
    EXPECT_EQ(QApplication::focusWidget(), view->Control(V::IDC_STOD_PORT));
}

TEST_F(SettingsView, PickingTypingAndTheConnectedMark)
{
    CKelvoScanIPListBox* list = List();
    ASSERT_EQ(list->GetCount(), 1);
    EXPECT_EQ(list->GetText(0), QStringLiteral("Scanning..."));
    EXPECT_FALSE(ConnectedShown());
    EXPECT_EQ(Ctl<CNxStatic>(V::IDC_CONNECTED)->Text(), QStringLiteral("Connected (DRAVIK STB)"));

    view->OnDeviceFound(Box(0x0A000005, "uuid:a"));
    view->OnDeviceFound(Box(0x0A000006, "uuid:b"));
    view->OnDeviceFound(Box(0x0A000007, "uuid:c", "Some Printer"));
    ASSERT_EQ(list->GetCount(), 3);
    EXPECT_EQ(list->GetText(0), QStringLiteral("NORVA+ Media Server (10.0.0.5)"));
    EXPECT_EQ(list->GetText(1), QStringLiteral("NORVA+ Media Server (10.0.0.6)"));
    EXPECT_EQ(list->GetText(2), QStringLiteral("Scanning..."));
    EXPECT_EQ(list->GetCurSel(), -1);

    // Picking a row fills the address and shows the mark.
    ClickRow(list, 0);
    EXPECT_EQ(Address()->Octets(), O("10", "0", "0", "5"));
    EXPECT_EQ(list->GetCurSel(), 0);
    EXPECT_TRUE(ConnectedShown());
    EXPECT_EQ(view->SaveToSettings().address, QStringLiteral("10.0.0.5"));

    // Editing an octet by hand hides it; typing the address of the other box selects its row.
    Address()->FocusField(3);
    Keys(QStringLiteral("9"));
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_FALSE(ConnectedShown());
    Address()->FocusField(3);
    Keys(QStringLiteral("6"));
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_TRUE(ConnectedShown());

    // Clicks on "Scanning..." and below the rows are swallowed.
    ClickRow(list, 2);
    uitest::Click(list, QPoint(10, list->height() - 2));
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(Address()->Octets(), O("10", "0", "0", "6"));

    // The keyboard can land on the placeholder: it copies nothing and the typed box stays marked.
    list->setFocus();
    Key(Qt::Key_Down);
    EXPECT_EQ(Address()->Octets(), O("10", "0", "0", "6"));
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_TRUE(ConnectedShown());

    // A box found later whose address is the typed one is marked at once.
    Address()->SetOctets(O("10", "0", "0", "8"));
    EXPECT_FALSE(ConnectedShown());
    view->OnDeviceFound(Box(0x0A000008, "uuid:d"));
    EXPECT_EQ(list->GetCurSel(), 2);
    EXPECT_TRUE(ConnectedShown());
    EXPECT_EQ(list->GetText(3), QStringLiteral("Scanning..."));
}

TEST_F(SettingsView, LeavingDropsEditsAndComingBackReloadsTheStoredCopy)
{
    view->SetActive(true);
    EXPECT_FALSE(view->IsSearching()) << "nothing to search in this test";
    Ctl<QLineEdit>(V::IDC_PIN)->setText(QStringLiteral("9999"));
    Address()->SetOctets(O("10", "1", "1", "1"));
    QTest::mouseClick(Ctl<CNxButton>(V::IDC_STOD_OFF), Qt::LeftButton);
    ASSERT_NE(view->SaveToSettings(), Stored());
    view->SetActive(false);
    EXPECT_EQ(view->SaveToSettings(), Stored());
    Ctl<QLineEdit>(V::IDC_USER)->setText(QStringLiteral("other"));
    view->SetActive(true);
    EXPECT_EQ(view->SaveToSettings(), Stored());
    EXPECT_TRUE(view->Control(V::IDC_STOD_PORT)->isEnabled());
}

TEST_F(SettingsView, TheCaptionPartCarriesTheTitleAndTheSaveCommand)
{
    QWidget bar;
    bar.resize(1100, V::kCaptionHeight);
    QWidget* caption = view->CaptionContent();
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->height(), 38);
    caption->setParent(&bar);
    caption->resize(bar.width(), V::kCaptionHeight);
    bar.show();
    view->hide();
    view->show();
    EXPECT_TRUE(caption->isVisible());

    CKelvoButton* save = view->SaveButton();
    EXPECT_EQ(save->CommandId(), Kelvo::ID_SAVE_SETTINGS);
    EXPECT_EQ(save->CommandId(), 49426);
    EXPECT_EQ(save->Text(), QStringLiteral("Save"));
    EXPECT_EQ(save->size(), QSize(88, 36));
    QSignalSpy commands(save, &CKelvoButton::command);
    QTest::mouseClick(save, Qt::LeftButton, {}, QPoint(44, 18));
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), Kelvo::ID_SAVE_SETTINGS);

    // Over the form block's width, centred in the bar: the title at its left, Save 45 pixels in
    // from its right.
    const int width = view->ContentRect().width();
    const int x = (bar.width() - width) / 2;
    const QList<QWidget*> children = caption->findChildren<QWidget*>();
    const auto title = std::find_if(children.begin(), children.end(), [&](QWidget* w) { return w != save; });
    ASSERT_NE(title, children.end());
    EXPECT_EQ((*title)->x(), x);
    EXPECT_EQ(save->x(), x + width - 88 - 45);
    EXPECT_EQ(save->y(), 1);

    view->hide();
    EXPECT_FALSE(caption->isVisible()) << "shown and hidden with the view";
    caption->setParent(nullptr);
    caption->setParent(view.get());
}

TEST_F(SettingsView, TheFormStaysACentredBlockWithItsSeparatorLines)
{
    const QWidget* address = view->Control(V::IDC_ADDRESS);
    std::optional<QPoint> addressInBlock;
    for (const QSize size : {QSize(900, 620), QSize(1000, 640), QSize(1400, 900), QSize(1401, 901)}) {
        view->resize(size);
        const QRect client = view->contentsRect();
        const QRect block = view->ContentRect();
        EXPECT_LE(std::abs((block.left() - client.left()) - (client.right() - block.right())), 1)
            << size.width();
        EXPECT_EQ(block.top() - client.top(),
                  std::max(0, (client.height() - block.height() - V::kCaptionHeight) / 2))
            << size.height();
        // Controls keep their place inside the block.
        const QPoint inBlock = address->pos() - block.topLeft();
        if (addressInBlock) {
            EXPECT_EQ(inBlock, *addressInBlock);
        }
        addressInBlock = inBlock;
        EXPECT_GE(inBlock.x() + address->width(), block.width() - 1);

        // The lines reach 20 pixels past the block on each side, and are painted there.
        const QImage image = view->grab().toImage();
        const QList<QLine> lines = view->SeparatorLines();
        ASSERT_EQ(lines.size(), 3);
        for (const QLine& line : lines) {
            EXPECT_EQ(line.x1(), block.left() - V::kSeparatorOverhang);
            EXPECT_EQ(line.x2(), block.left() + block.width() + V::kSeparatorOverhang);
            EXPECT_EQ(image.pixelColor(line.x1(), line.y1()), QColor(54, 54, 54));
            EXPECT_EQ(image.pixelColor(line.x2() - 1, line.y1()), QColor(54, 54, 54));
            EXPECT_EQ(image.pixelColor(line.x1() - 1, line.y1()), QColor(0, 0, 0));
            EXPECT_EQ(image.pixelColor(line.x2(), line.y1()), QColor(0, 0, 0));
        }
    }
}
} // namespace
