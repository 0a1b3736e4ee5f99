#include "tools/gallery/CKelvoGallery.h"

#include "ui/CKelvoButton.h"
#include "ui/CKelvoComboBox.h"
#include "ui/CKelvoEdit.h"
#include "ui/CKelvoFrameImpl.h"
#include "ui/CKelvoRes.h"
#include "ui/CKelvoSliderCtrl.h"
#include "ui/CNxButton.h"
#include "ui/CNxControlBar.h"
#include "ui/CNxListBox.h"
#include "ui/CNxScrollBar.h"
#include "ui/CNxStatic.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

namespace {

const QColor kBack(14, 15, 17);
const QColor kHeading(120, 126, 134);

void SendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)),
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

void MakeHot(QWidget* w, QPoint at = QPoint(3, 3))
{
    SendMouse(w, QEvent::MouseMove, at, Qt::NoButton);
}

void MakePressed(QWidget* w, QPoint at = QPoint(3, 3))
{
    SendMouse(w, QEvent::MouseButtonPress, at, Qt::LeftButton);
}

// A channel list row as the channel page draws it: number, marks, name, the running event.
class GalleryChannelList final : public CNxListBox
{
public:
    using CNxListBox::CNxListBox;

protected:
    void DrawItemBackground(QPainter& p, const QRect& r, const NxDrawItem& item) const override
    {
        const CKelvoRes& res = KelvoRes();
        using HA = CNxImages::HAlign;
        using VA = CNxImages::VAlign;
        if (item.selected) {
            res.imgRowBlue43.Draw(p, r, 0, HA::Stretch, VA::Top);
        } else if (item.index % 7 == 3) {
            res.imgRowGrey43.Draw(p, r, 0, HA::Stretch, VA::Top);
        } else {
            p.fillRect(r, res.colorListBack);
        }
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), res.colorListLine);
    }
    void DrawItemContent(QPainter& p, const QRect& r, const NxDrawItem& item) const override
    {
        const CKelvoRes& res = KelvoRes();
        using HA = CNxImages::HAlign;
        using VA = CNxImages::VAlign;
        const int x = r.left(), y = r.top(), w = r.width();
        const bool scrambled = item.index % 3 == 1;
        const bool locked = item.index % 5 == 2;
        const bool live = item.index % 4 != 0;
        p.setFont(res.fontBold15);
        p.setPen(live ? res.colorText : res.colorColumn2);
        p.drawText(QRect(x + 18, y + 4, 42, 21), Qt::AlignLeft | Qt::AlignBottom,
                   QStringLiteral("%1").arg(item.index + 1, 4, 10, QLatin1Char('0')));
        if (scrambled) {
            res.imgIconScrambled.Draw(p, QRect(x + 60, y + 8, 14, 14), 0, HA::Left, VA::Top);
        }
        const QRect name(x + (scrambled ? 77 : 60), y + 4, w - 64 - (scrambled ? 77 : 60), 21);
        p.drawText(name, Qt::AlignLeft | Qt::AlignBottom,
                   p.fontMetrics().elidedText(item.text, Qt::ElideRight, name.width()));
        if (locked) {
            res.imgIconLock.Draw(p, QRect(x + w - 61, y + 6, 16, 16), 0, HA::Left, VA::Top);
        }
        res.imgIconsTimer.Draw(p, QRect(x + w - 39, y + 10, 27, 25), item.selected ? 2 : 0, HA::Left,
                               VA::Top);
        p.setFont(res.fontNormal12);
        p.setPen(item.selected ? res.colorColumn1 : res.colorColumn3);
        static const char* const events[] = {"Evening News",
                                             "Champions League Live",
                                             "Nature: The Deep Ocean",
                                             "Late Movie: The Long Road Home",
                                             "Weather",
                                             "Jazz at Midnight"};
        p.drawText(QRect(x + 18, y + 25, 42, 15), Qt::AlignLeft | Qt::AlignBottom,
                   QStringLiteral("%1:%2")
                       .arg(18 + item.index % 5)
                       .arg((item.index * 5) % 60, 2, 10, QLatin1Char('0')));
        p.drawText(QRect(x + 60, y + 25, w - 153, 15), Qt::AlignLeft | Qt::AlignBottom,
                   QString::fromLatin1(events[item.index % 6]));
        p.drawText(QRect(x + w - 90, y + 25, 48, 15), Qt::AlignRight | Qt::AlignBottom,
                   QStringLiteral("%1 Min").arg(30 + (item.index % 4) * 15));
    }
};

const char* const kChannels[] = {"Aurora One HD",   "Meridian News",     "Cobalt Sports", "Harbour Cinema",
                                 "Northwind Music", "Atlas Documentary", "Lumen Kids",    "Vista Travel",
                                 "Orbit Science",   "Summit Weather",    "Coral Radio",   "Silverline Drama"};

} // namespace

CKelvoGallery::CKelvoGallery(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Kelvo+ skin gallery"));
    setFixedSize(1400, 1000);
    setAutoFillBackground(false);
    BuildCaption();
    BuildButtons(24, 140);
    BuildLists(24, 650);
    BuildBars(570, 140);
    BuildInputs(570, 650);
    BuildCaptions(570, 844);
}

void CKelvoGallery::Heading(const QString& text, int x, int y)
{
    auto* label = new CNxStatic(text.toUpper(), this);
    label->setFont(KelvoRes().fontBold12);
    label->SetTransparent(true);
    label->SetTextColour(kHeading);
    label->SizeToText();
    label->move(x, y);
}

void CKelvoGallery::BuildCaption()
{
    const CKelvoRes& res = KelvoRes();
    class CaptionBar final : public CNxControlBar
    {
    public:
        using CNxControlBar::CNxControlBar;

    protected:
        void DrawContent(QPainter& p) override
        {
            KelvoRes().imgLogo.Draw(p, QRect(26, 21, 148, 29), 0, CNxImages::HAlign::Left,
                                    CNxImages::VAlign::Top);
        }
    };
    auto* bar = new CaptionBar(this);
    bar->SetBackgroundImage(&res.imgMainCaptionBack);
    bar->setGeometry(0, 0, width(), 119);
    const int w = width();
    struct WindowButton
    {
        int id, frames, x;
    };
    for (const WindowButton b : {WindowButton{436, 3, w - 101}, WindowButton{360, 3, w - 77},
                                 WindowButton{359, 6, w - 53}, WindowButton{358, 3, w - 29}}) {
        auto* button = new CPngButton(bar);
        button->SetImage(b.id, b.frames);
        button->move(b.x, 6);
        if (b.id == 358) {
            m_states.append([button] { MakeHot(button); });
        }
    }
    struct Mode
    {
        int id, command, textInset, x;
        const char* text;
    };
    const QColor normal(135, 135, 135), hot(198, 146, 146), disabled(70, 70, 70);
    int index = 0;
    for (const Mode m : {Mode{362, 49152, 40, 18, "Channel"}, Mode{364, 49153, 42, 151, "Schedule"},
                         Mode{365, 49154, 34, 290, "Setting"}}) {
        auto* button = new CKelvoButton(bar, m.command);
        button->SetKind(CPngButton::Kind::Radio);
        button->SetImage(m.id, 4);
        button->SetText(QString::fromLatin1(m.text));
        button->SetTextAlignment(CPngButton::AlignLeft);
        button->SetMargins(QMargins(m.textInset, 3, 0, 0));
        button->SetTextColours(normal, Qt::white, hot, disabled, hot);
        button->move(m.x, 70);
        if (index == 0) {
            button->SetChecked(true);
        } else if (index == 1) {
            m_states.append([button] { MakeHot(button); });
        }
        ++index;
    }
    auto* remote = new CKelvoButton(bar, 49155);
    remote->SetImage(363, 4);
    remote->SetText(QStringLiteral("Remote"));
    remote->SetTextColours(Qt::white, QColor(108, 146, 146), Qt::white, disabled, hot);
    remote->move(w - 104, 77);
}

void CKelvoGallery::BuildButtons(int x0, int y0)
{
    const CKelvoRes& res = KelvoRes();
    Heading(QStringLiteral("Image buttons: normal, hot, pressed, checked, disabled"), x0, y0);
    struct Strip
    {
        int id, frames;
        bool checkable;
    };
    const Strip strips[] = {{396, 4, false}, {398, 4, false}, {397, 4, false}, {437, 4, false},
                            {438, 4, false}, {405, 3, true},  {400, 3, false}, {358, 3, false},
                            {425, 3, false}, {426, 3, false}};
    const char* const states[] = {"normal", "hot", "pressed", "checked", "disabled"};
    for (int state = 0; state < 5; ++state) {
        auto* label = new CNxStatic(QString::fromLatin1(states[state]), this);
        label->setFont(res.fontNormal12);
        label->SetTransparent(true);
        label->SetTextColour(QColor(90, 95, 102));
        label->setGeometry(x0, y0 + 24 + state * 48, 70, 44);
    }
    int x = x0 + 76;
    for (const Strip& s : strips) {
        int maxWidth = 0;
        for (int state = 0; state < 5; ++state) {
            auto* b = new CKelvoButton(this);
            b->SetImage(s.id, s.frames);
            b->move(x, y0 + 24 + state * 48 + (44 - b->height()) / 2);
            if (state == 3) {
                b->SetKind(CPngButton::Kind::CheckBox);
                b->SetChecked(true);
            }
            if (state == 4) {
                b->setEnabled(false);
            }
            if (state == 1) {
                m_states.append([b] { MakeHot(b); });
            } else if (state == 2) {
                m_states.append([b] { MakePressed(b); });
            }
            maxWidth = qMax(maxWidth, b->width());
        }
        x += maxWidth + 10;
    }

    const int ty = y0 + 24 + 5 * 48 + 14;
    Heading(QStringLiteral("Text buttons"), x0, ty);
    // TV / Radio segmented switch and Refresh
    auto* tv = new CKelvoButton(this, 49168);
    tv->SetKind(CPngButton::Kind::Radio);
    tv->SetImage(381, 3);
    tv->SetText(QStringLiteral("TV"));
    tv->SetChecked(true);
    tv->move(x0, ty + 24);
    auto* radio = new CKelvoButton(this, 49169);
    radio->SetKind(CPngButton::Kind::Radio);
    radio->SetImage(380, 3);
    radio->SetText(QStringLiteral("Radio"));
    radio->move(x0 + 70, ty + 24);
    m_states.append([radio] { MakeHot(radio); });
    auto* refresh = new CKelvoButton(this, 49170);
    refresh->SetImage(379, 3);
    refresh->SetText(QStringLiteral("Refresh "));
    refresh->SetTextAlignment(CPngButton::AlignRight);
    refresh->SetMargins(QMargins(0, 0, 21, 0));
    refresh->move(x0 + 156, ty + 24);

    const QColor saveColours[5] = {QColor(255, 255, 255), QColor(0, 120, 164), QColor(0, 186, 255),
                                   QColor(145, 145, 145), QColor(0, 120, 164)};
    int sx = x0;
    for (int state = 0; state < 4; ++state) {
        auto* save = new CKelvoButton(this, 49426);
        save->SetImage(410, 3);
        save->SetText(QStringLiteral("Save"));
        save->SetTextColours(saveColours[0], saveColours[1], saveColours[2], saveColours[3], saveColours[4]);
        save->move(sx, ty + 72);
        if (state == 1) {
            m_states.append([save] { MakeHot(save); });
        } else if (state == 2) {
            m_states.append([save] { MakePressed(save); });
        } else if (state == 3) {
            save->setEnabled(false);
        }
        sx += 98;
    }
    const QColor formColours[5] = {QColor(232, 232, 232), QColor(44, 112, 175), QColor(255, 255, 255),
                                   QColor(145, 145, 145), QColor(44, 112, 175)};
    int fx = x0;
    for (const char* text : {"Delete", "Save", "Cancel"}) {
        auto* b = new CKelvoButton(this);
        b->SetImage(428, 3);
        b->SetText(QString::fromLatin1(text));
        b->SetTextColours(formColours[0], formColours[1], formColours[2], formColours[3], formColours[4]);
        b->move(fx, ty + 120);
        if (fx != x0) {
            b->setFont(res.fontNormal14);
        }
        if (QLatin1String(text) == QLatin1String("Save")) {
            m_states.append([b] { MakeHot(b); });
        }
        fx += 88;
    }

    // image-and-text buttons
    auto* back = new CNxButton(this, 49424);
    back->setText(QStringLiteral("TV"));
    back->setFont(res.fontNormal12);
    back->SetImage(416, 415);
    back->SetCheckedImage(417);
    back->SetTextColours(res.colorText, QColor(0, 186, 255), QColor(0, 120, 164));
    back->SizeToContent();
    back->move(x0 + 280, ty + 117);
    auto* guide = new CNxButton(this, 49427);
    guide->setText(QStringLiteral("Program Guide"));
    guide->setFont(res.fontNormal12);
    guide->SetImage(419, 418);
    guide->SetCheckedImage(420);
    guide->SetTextColours(res.colorText, QColor(0, 186, 255), QColor(0, 120, 164));
    guide->SizeToContent();
    guide->move(x0 + 340, ty + 117);
    int rx = x0 + 280;
    for (const char* text : {"RTP", "UDP", "HLS"}) {
        auto* r = new CNxButton(this);
        r->setCheckable(true);
        r->setAutoExclusive(true);
        r->setText(QString::fromLatin1(text));
        r->setFont(res.fontNormal12);
        r->SetImage(411);
        r->SetCheckedImage(412);
        r->SetTextColours(res.colorText, QColor(0, 186, 255), QColor(0, 120, 164));
        r->SizeToContent();
        r->move(rx, ty + 24 + (36 - r->height()) / 2);
        r->setChecked(QLatin1String(text) == QLatin1String("UDP"));
        rx += r->width() + 14;
    }
    // labels
    int li = 0;
    for (int edges : {int(CNxStatic::NoEdge), int(CNxStatic::Thin), int(CNxStatic::Sunken),
                      int(CNxStatic::DoubleRaised)}) {
        auto* label = new CNxStatic(
            edges == CNxStatic::NoEdge ? QStringLiteral("ON AIR") : QStringLiteral("Label"), this);
        label->setFont(edges == CNxStatic::NoEdge ? res.fontBold15 : res.fontNormal12);
        label->SetBackgroundColour(QColor(52, 56, 63));
        label->SetEdges(edges);
        label->SetAlignment(CNxStatic::Align::Centre);
        label->setGeometry(x0 + 400 + (li % 2) * 62, ty + 72 + (li / 2) * 32, 56, 24);
        ++li;
    }
}

void CKelvoGallery::BuildLists(int x0, int y0)
{
    const CKelvoRes& res = KelvoRes();
    Heading(QStringLiteral("List: 10,000 owner-drawn rows"), x0, y0);
    auto* list = new GalleryChannelList(this, 49175);
    list->setGeometry(x0, y0 + 24, 516, 43 * 7);
    list->SetItemHeight(43);
    list->SetBackgroundColor(res.colorListBack);
    std::vector<QString> names;
    names.reserve(10000);
    for (int i = 0; i < 10000; ++i) {
        names.push_back(QString::fromLatin1(kChannels[i % 12]));
    }
    list->SetRows(std::move(names));
    list->SetTopIndex(120);
    list->SetCurSel(122);
    m_states.append(
        [list] { MakeHot(list->ScrollBar(), list->ScrollBar()->PartRect(CNxScrollBar::Thumb).center()); });

    Heading(QStringLiteral("A few rows, and none"), 1110, y0);
    auto* few = new CNxListBox(this);
    few->setGeometry(1110, y0 + 24, 266, 5 * 30);
    few->SetItemHeight(30);
    few->SetBackgroundColor(res.colorBlack);
    for (const char* a : {"192.168.1.20", "192.168.1.37", "10.0.0.8"}) {
        few->AddString(QString::fromLatin1(a));
    }
    few->SetCurSel(1);
    auto* empty = new CNxListBox(this);
    empty->setGeometry(1110, y0 + 24 + 5 * 30 + 12, 266, 139);
    empty->SetItemHeight(30);
    empty->SetBackgroundColor(res.colorListBack);
}

void CKelvoGallery::BuildBars(int x0, int y0)
{
    const CKelvoRes& res = KelvoRes();
    Heading(QStringLiteral("Player control bar"), x0, y0);
    class ControlBar final : public CNxControlBar
    {
    public:
        using CNxControlBar::CNxControlBar;

    protected:
        void DrawContent(QPainter& p) override
        {
            const CKelvoRes& r = KelvoRes();
            r.imgChannelTag.Draw(p, QRect(4, 7, 14, 44), 0, CNxImages::HAlign::Left, CNxImages::VAlign::Top);
            const QRect box(120, 7, width() - 349 + 40, 45);
            r.imgInfoBoxBack.Draw3Slice(p, box, CNxImages::VAlign::Stretch);
            p.setFont(r.fontBold15);
            p.setPen(r.colorText);
            p.drawText(QRect(box.left() + 18, box.top() + 4, 42, 21), Qt::AlignLeft | Qt::AlignBottom,
                       QStringLiteral("0007"));
            r.imgIconScrambled.Draw(p, QRect(box.left() + 60, box.top() + 8, 14, 14), 0,
                                    CNxImages::HAlign::Left, CNxImages::VAlign::Top);
            p.drawText(QRect(box.left() + 77, box.top() + 4, 200, 21), Qt::AlignLeft | Qt::AlignBottom,
                       QStringLiteral("Cobalt Sports"));
            p.setFont(r.fontNormal12);
            p.setPen(r.colorColumn1);
            p.drawText(QRect(box.left() + 18, box.top() + 25, 80, 16), Qt::AlignLeft | Qt::AlignBottom,
                       QStringLiteral("20:45 ~ 22:40"));
            p.drawText(QRect(box.left() + 101, box.top() + 25, box.width() - 182, 16),
                       Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Champions League Live"));
            p.drawText(QRect(box.right() - 78, box.top() + 25, 48, 16), Qt::AlignRight | Qt::AlignBottom,
                       QStringLiteral("115 Min"));
        }
    };
    auto* bar = new ControlBar(this);
    bar->SetBackgroundImage(&res.imgControlBarBack);
    bar->setGeometry(x0, y0 + 24, 1376 - x0, 58);
    const int w = bar->width();
    auto* next = new CKelvoButton(bar, 49200);
    next->SetImage(398, 4);
    next->move(21, 7);
    auto* prev = new CKelvoButton(bar, 49201);
    prev->SetImage(396, 4);
    prev->move(69, 7);
    const int c = w;
    auto* mute = new CKelvoButton(bar, 49202);
    mute->SetKind(CPngButton::Kind::CheckBox);
    mute->SetImage(405, 3);
    mute->move(c - 214 + 40, 18);
    auto* slider = new CKelvoSliderCtrl(bar, 49203);
    slider->setGeometry(c - 199 + 40, 18, 100, 28);
    slider->SetThumbLength(28);
    slider->setValue(65);
    m_states.append([slider] { MakeHot(slider, QPoint(slider->SplitX(), slider->Band().center().y())); });
    auto* mini = new CKelvoButton(bar, 49205);
    mini->SetImage(437, 4);
    mini->move(w - 48, 12);
    // the info button sits inside the information box
    auto* info = new CKelvoButton(bar, 49207);
    info->SetImage(400, 3);
    info->move(120 + (w - 349 + 40) - 27, 7 + (45 - 20) / 2 + 2);

    Heading(QStringLiteral("SAT information bar"), x0, y0 + 100);
    class SatBar final : public CNxControlBar
    {
    public:
        using CNxControlBar::CNxControlBar;

    protected:
        void DrawContent(QPainter& p) override
        {
            const CKelvoRes& r = KelvoRes();
            p.setFont(r.fontNormal14);
            p.setPen(QColor(137, 137, 137));
            const char* const lines[] = {"SAT  19.2E Astra 1KR", "TP  11494 H 22000 3/4",
                                         "PID  V 0x0A21  A 0x0A22  PCR 0x0A21", "Provider  Cobalt Media"};
            int y = 4;
            for (const char* line : lines) {
                p.drawText(QRect(24, y, width() - 30, 19), Qt::AlignLeft | Qt::AlignVCenter,
                           QString::fromLatin1(line));
                y += 19;
            }
        }
    };
    auto* sat = new SatBar(this);
    sat->SetBackgroundImage(&res.imgSatInfoBack);
    sat->setGeometry(x0, y0 + 124, 340, 86);

    Heading(QStringLiteral("Three slices: narrower and wider than the strip"), x0, y0 + 240);
    class Slices final : public QWidget
    {
    public:
        using QWidget::QWidget;

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter p(this);
            const CKelvoRes& r = KelvoRes();
            using VA = CNxImages::VAlign;
            r.imgBarDark38.Draw3Slice(p, QRect(0, 0, 25, 38), VA::Stretch);
            r.imgBarDark38.Draw3Slice(p, QRect(35, 0, 30, 38), VA::Stretch);
            r.imgBarDark38.Draw3Slice(p, QRect(75, 0, 120, 38), VA::Stretch);
            r.imgDialogCaption.Draw3Slice(p, QRect(205, 0, 80, 38), VA::Stretch);
            r.imgDialogCaption.Draw3Slice(p, QRect(295, 0, 180, 38), VA::Stretch);
            r.imgSearchBox.Draw3Slice(p, QRect(0, 50, 60, 28), VA::Top);
            r.imgSearchBox.Draw3Slice(p, QRect(75, 50, 220, 28), VA::Top);
            p.setFont(r.fontBold14);
            p.setPen(QColor(110, 114, 120));
            p.drawText(QRect(108, 50, 180, 28), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Search"));
            r.imgEditFrame.Draw3Slice(p, QRect(305, 53, 20, 21), VA::Stretch);
            r.imgEditFrame.Draw3Slice(p, QRect(335, 53, 140, 21), VA::Stretch);
            r.imgInfoBoxBack.Draw3Slice(p, QRect(0, 90, 24, 45), VA::Stretch);
            r.imgInfoBoxBack.Draw3Slice(p, QRect(34, 90, 260, 45), VA::Stretch);
            r.imgFrameBottom.Draw3Slice(p, QRect(305, 126, 170, 9), VA::Stretch);
        }
    };
    auto* slices = new Slices(this);
    slices->setGeometry(x0, y0 + 264, 480, 140);

    Heading(QStringLiteral("Icons"), x0 + 370, y0 + 100);
    class Icons final : public QWidget
    {
    public:
        using QWidget::QWidget;

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter p(this);
            const CKelvoRes& r = KelvoRes();
            using HA = CNxImages::HAlign;
            using VA = CNxImages::VAlign;
            for (int f = 0; f < 10; ++f) {
                r.imgIconsSchedule.Draw(p, QRect(f * 32, 0, 30, 30), f, HA::Left, VA::Top);
            }
            for (int f = 0; f < 4; ++f) {
                r.imgIconsClock.Draw(p, QRect(f * 32, 40, 30, 30), f, HA::Left, VA::Top);
                r.imgIconsTimer.Draw(p, QRect(134 + f * 30, 42, 27, 25), f, HA::Left, VA::Top);
            }
            r.imgIconScrambled.Draw(p, QRect(262, 48, 14, 14), 0, HA::Left, VA::Top);
            r.imgIconLock.Draw(p, QRect(284, 47, 16, 16), 0, HA::Left, VA::Top);
            r.imgIconsAdd.Draw(p, QRect(310, 38, 35, 34), 0, HA::Left, VA::Top);
            r.imgIconsAdd.Draw(p, QRect(350, 38, 35, 34), 1, HA::Left, VA::Top);
            CNxImages busy;
            busy.SetFrameSize(QSize(46, 46));
            busy.Load(435);
            for (int f = 0; f < 4; ++f) {
                busy.Draw(p, QRect(f * 50, 76, 46, 46), f * 3, HA::Left, VA::Top);
            }
        }
    };
    auto* icons = new Icons(this);
    icons->setGeometry(x0 + 370, y0 + 124, 450, 120);

    // scroll bars in their states, and a view frame
    Heading(QStringLiteral("Scroll bars"), x0 + 540, y0 + 240);
    int sx = x0 + 540;
    for (int state = 0; state < 5; ++state) {
        auto* sb = new CNxScrollBar(Qt::Vertical, this);
        sb->setGeometry(sx, y0 + 264, 14, 200);
        sb->SetScrollInfo(0, 99, 20, state == 4 ? 0 : 30);
        if (state == 4) {
            sb->SetScrollInfo(0, 5, 20, 0); // everything fits: disabled
        }
        if (state == 1) {
            m_states.append([sb] { MakeHot(sb, sb->PartRect(CNxScrollBar::Thumb).center()); });
        } else if (state == 2) {
            m_states.append([sb] { MakePressed(sb, sb->PartRect(CNxScrollBar::Thumb).center()); });
        } else if (state == 3) {
            m_states.append([sb] {
                sb->SetScrollPos(0);
                MakePressed(sb, sb->PartRect(CNxScrollBar::FirstArrow).center());
            });
        }
        sx += 30;
    }
    auto* hbar = new CNxScrollBar(Qt::Horizontal, this);
    hbar->setGeometry(x0 + 540, y0 + 476, 134, 14);
    hbar->SetScrollInfo(0, 49, 10, 20);
}

void CKelvoGallery::BuildInputs(int x0, int y0)
{
    const CKelvoRes& res = KelvoRes();
    Heading(QStringLiteral("Inputs"), x0, y0);
    auto* sort = new CKelvoComboBox(this, 49172);
    sort->addItems({QStringLiteral("Alphabetic"), QStringLiteral("Numeric"), QStringLiteral("Group")});
    sort->setGeometry(x0, y0 + 24, 160, 21);
    sort->setCurrentIndex(1);
    auto* group = new CKelvoComboBox(this, 49173);
    group->addItems({QStringLiteral("19.2E Astra")});
    group->setGeometry(x0 + 176, y0 + 24, 160, 21);
    group->setEnabled(false);

    class SearchBox final : public QWidget
    {
    public:
        using QWidget::QWidget;

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter p(this);
            KelvoRes().imgSearchBox.Draw3Slice(p, rect(), CNxImages::VAlign::Top);
        }
    };
    auto* search = new SearchBox(this);
    search->setGeometry(x0, y0 + 60, 336, 28);
    auto* edit = new CKelvoEdit(search, 49174);
    edit->setFont(res.fontBold14);
    edit->SetBackgroundBrush(QColor(16, 17, 19));
    edit->setText(QStringLiteral("Cobalt"));
    edit->setGeometry(32, 5, 290, 18);

    auto* edit2 = new CKelvoEdit(this);
    edit2->setFont(res.fontNormal12);
    edit2->SetBackgroundBrush(QColor(30, 32, 36));
    edit2->setPlaceholderText(QStringLiteral("192.168.1.20"));
    edit2->setGeometry(x0, y0 + 100, 160, 22);

    const int sy = y0 + 140;
    for (int state = 0; state < 3; ++state) {
        auto* slider = new CKelvoSliderCtrl(this);
        slider->setGeometry(x0 + state * 112, sy, 100, 28);
        slider->setValue(30 + state * 25);
        if (state == 1) {
            m_states.append(
                [slider] { MakeHot(slider, QPoint(slider->SplitX(), slider->Band().center().y())); });
        } else if (state == 2) {
            slider->setEnabled(false);
        }
    }

    Heading(QStringLiteral("View frame"), x0 + 360, y0);
    class FramedView final : public QWidget
    {
    public:
        explicit FramedView(QWidget* parent) : QWidget(parent), m_frame(this)
        {
            m_frame.SetSkinBorders(true);
            m_frame.Apply();
        }

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter p(this);
            p.fillRect(contentsRect(), Qt::black);
            m_frame.PaintBorders(p);
            p.setFont(KelvoRes().fontBold15);
            p.setPen(KelvoRes().colorText);
            p.drawText(contentsRect(), Qt::AlignCenter, QStringLiteral("View"));
        }

    private:
        CKelvoFrameImpl m_frame;
    };
    auto* framed = new FramedView(this);
    framed->setGeometry(x0 + 360, y0 + 24, 160, 150);
}

void CKelvoGallery::BuildCaptions(int x0, int y0)
{
    const CKelvoRes& res = KelvoRes();
    Heading(QStringLiteral("Caption bars"), x0, y0);
    struct Caption
    {
        const CNxImages* image;
        int width;
        const char* title;
        bool windowButtons;
    };
    int y = y0 + 24;
    for (const Caption c : {Caption{&res.imgBarDark38, 520, "ON AIR", true},
                            Caption{&res.imgDialogCaption, 320, "Channel List", false}}) {
        auto* bar = new CNxControlBar(this);
        bar->SetBackgroundImage(c.image);
        bar->setGeometry(x0, y, c.width, 38);
        auto* title = new CNxStatic(QString::fromLatin1(c.title), bar);
        title->setFont(res.fontBold15);
        title->SetTransparent(true);
        title->SetTextColour(res.colorText);
        title->SizeToText();
        title->move((c.width - title->width()) / 2, (38 - title->height()) / 2);
        const int buttons[][2] = {{436, 101}, {360, 77}, {359, 53}, {358, 29}};
        for (const auto& b : buttons) {
            if (!c.windowButtons && b[0] != 358) {
                continue;
            }
            auto* button = new CPngButton(bar);
            button->SetImage(b[0], b[0] == 359 ? 6 : 3);
            button->move(c.width - (c.windowButtons ? b[1] : 30), 7);
        }
        y += 50;
    }
}

void CKelvoGallery::ApplyStates()
{
    for (const auto& apply : m_states) {
        apply();
    }
}

void CKelvoGallery::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kBack);
}
