#include "views/schedule/CKelvoViewScheduleEdit.h"

#include "commands/CMainFrameMessages.h"
#include "model/CQuarnDataModel.h"
#include "model/ServiceKey.h"
#include "res/CStringTable.h"
#include "ui/CDialogUnits.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoComboBox.h"
#include "ui/CKelvoRes.h"
#include "ui/CNxButton.h"
#include "ui/CNxStatic.h"
#include "ui/KelvoImageTable.h"
#include "views/common/CKelvoDlgChannelListSimple.h"
#include "views/schedule/CScheduleCaption.h"
#include "views/schedule/CScheduleEditParts.h"

#include <QDateEdit>
#include <QDateTime>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTimeEdit>
#include <QTimer>

namespace {

constexpr int kChannelMode = 0;

// The choice tables of the type and mode boxes: text id and value.
constexpr std::pair<int, int> kTypes[] = {{CStringTable::IDS_TYPE_PLAY, 0},
                                          {CStringTable::IDS_TYPE_RECORDING, 1}};
constexpr std::pair<int, int> kModes[] = {
    {CStringTable::IDS_MODE_ONCE, 1}, {CStringTable::IDS_MODE_DAILY, 2}, {CStringTable::IDS_MODE_WEEKLY, 3}};

QRect Dlu(int x, int y, int w, int h)
{
    return CDialogUnits().ToPixels(QRect(x, y, w, h));
}

CNxStatic* Label(QWidget* parent, const QString& text, const QFont& font, const QColor& colour,
                 const QRect& dlu)
{
    auto* l = new CNxStatic(text, parent);
    l->SetTransparent(true);
    l->SetAlignment(CNxStatic::Align::Left);
    l->SetCentreVertically(true);
    l->setFont(font);
    l->SetTextColour(colour);
    l->setGeometry(Dlu(dlu.x(), dlu.y(), dlu.width(), dlu.height()));
    return l;
}

int SelectedValue(const CKelvoComboBox* box)
{
    return box->currentIndex() < 0 ? -1 : box->currentData().toInt();
}

QString ServiceText(int lcn, const QString& name)
{
    return QString::asprintf("%04d ", lcn) + name;
}

} // namespace

CKelvoViewScheduleEdit::CKelvoViewScheduleEdit(const CQuarnDataModel& db, CMainFrameMessages& messages,
                                               std::function<qint64()>, QWidget* parent)
    : QWidget(parent), m_db(db), m_messages(messages), m_frame(this)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_frame.SetSkinBorders(true);
    m_frame.Apply();
    m_confirmDelete = [this] {
        return QMessageBox::question(this, CStringTable::Get(CStringTable::IDS_CONFIRM_DELETE),
                                     CStringTable::Get(CStringTable::IDS_CONFIRM_DELETE_TEXT),
                                     QMessageBox::Yes | QMessageBox::No) != QMessageBox::No;
    };
    m_picker = [this](int preselectedKey) {
        return CKelvoDlgChannelListSimple::Pick(m_db, preselectedKey, this);
    };
    m_notice = [this](const QString& caption, const QString& text) {
        QMessageBox::warning(this, caption, text);
    };
    CreateControls();
    RecordPositions();
    m_caption = new CScheduleCaption(CStringTable::Get(CStringTable::IDS_TIMER_EDIT), true, this);
    m_caption->hide();
    connect(m_caption->BackButton(), &CNxButton::clicked, this, &CKelvoViewScheduleEdit::Cancel);
    Layout();
    setObjectName(QStringLiteral("scheduleEditView"));
}

void CKelvoViewScheduleEdit::CreateControls()
{
    const auto& res = KelvoRes();
    setStyleSheet(QStringLiteral("QDateEdit, QTimeEdit, QSpinBox, QPushButton { background: %1; color: %2;"
                                 " border: 1px solid %3; padding: 0 4px; }"
                                 "QPushButton { text-align: left; } QPushButton:hover { border-color: %4; }")
                      .arg(res.colorListBack.name(), res.colorText.name(), res.colorListLine.name(),
                           res.colorFormAccent.name()));

    m_serviceCaption = new CScheduleServiceCaption(this);
    m_serviceCaption->setObjectName(QStringLiteral("1040"));
    m_serviceCaption->setGeometry(Dlu(0, 0, 294, 12));
    m_eventName = Label(this, QString(), res.fontBold15, res.colorText, QRect(1, 19, 293, 12));
    m_eventTimes = Label(this, QString(), res.fontBold15, res.colorText, QRect(1, 31, 293, 12));

    const std::pair<int, int> labels[] = {
        {CStringTable::IDS_SERVICE, 72},     {CStringTable::IDS_TYPE, 94},
        {CStringTable::IDS_MODE, 116},       {CStringTable::IDS_START_DATE, 138},
        {CStringTable::IDS_START_TIME, 160}, {CStringTable::IDS_DURATION, 182}};
    for (const auto& [id, y] : labels)
        Label(this, CStringTable::Get(id), res.fontBold14, res.colorText, QRect(1, y, 162, 18));
    Label(this, QStringLiteral("End Time"), res.fontBold14, res.colorFormDim, QRect(0, 204, 162, 18));

    m_service = new QPushButton(this);
    m_service->setFont(res.fontNormal12);
    m_service->setGeometry(Dlu(168, 72, 126, 18));
    connect(m_service, &QPushButton::clicked, this, &CKelvoViewScheduleEdit::ChooseService);

    const auto combo = [&](int id, int y, const auto& table) {
        auto* box = new CKelvoComboBox(this, id);
        box->setFont(res.fontNormal12);
        for (const auto& [text, value] : table)
            box->addItem(CStringTable::Get(text), value);
        const QRect r = Dlu(168, y, 126, 14);
        box->setGeometry(r.x(), r.y(), r.width(), qMax(r.height(), 21));
        return box;
    };
    m_type = combo(IDC_TYPE, 96, kTypes);
    m_mode = combo(IDC_MODE, 118, kModes);

    m_startDate = new QDateEdit(this);
    m_startDate->setCalendarPopup(true);
    m_startDate->setDisplayFormat(QLocale::system().dateFormat(QLocale::ShortFormat));
    m_startTime = new QTimeEdit(this);
    m_startTime->setDisplayFormat(res.localeTimeFormat.isEmpty() ? QStringLiteral("HH:mm")
                                                                 : res.localeTimeFormat);
    m_duration = new CScheduleDurationEdit(this);
    const std::pair<QWidget*, int> pickers[] = {{m_startDate, 140}, {m_startTime, 162}, {m_duration, 184}};
    for (const auto& [w, y] : pickers) {
        w->setFont(res.fontNormal12);
        w->setGeometry(Dlu(168, y, 126, 15));
    }
    m_startDate->setAlignment(Qt::AlignRight);
    m_startTime->setAlignment(Qt::AlignRight);
    connect(m_startTime, &QTimeEdit::timeChanged, this, &CKelvoViewScheduleEdit::UpdateEndLabel);
    connect(m_duration, &CScheduleDurationEdit::changed, this, &CKelvoViewScheduleEdit::UpdateEndLabel);

    m_endTime = Label(this, QString(), res.fontNormal12, res.colorFormDim, QRect(168, 204, 126, 18));

    const auto action = [&](int id, const char* text, int x) {
        auto* b = new CKelvoButton(this, id);
        b->SetImage(Kelvo::IDB_FORM_BUTTON, 3);
        b->SetTransparent(true);
        b->SetText(QString::fromLatin1(text));
        b->setFont(res.fontNormal14);
        b->SetTextColours(res.colorFormText, res.colorFormAccent, res.colorWhite,
                          res.colorImageButtonDisabled, res.colorFormAccent);
        b->setGeometry(Dlu(x, 246, 50, 18));
        return b;
    };
    m_delete = action(IDC_DELETE, "Delete", 0);
    m_save = action(IDC_SAVE, "Save", 168);
    m_cancel = action(IDC_CANCEL, "Cancel", 240);
    connect(m_delete, &CKelvoButton::clicked, this, &CKelvoViewScheduleEdit::Delete);
    connect(m_save, &CKelvoButton::clicked, this, &CKelvoViewScheduleEdit::Save);
    connect(m_cancel, &CKelvoButton::clicked, this, &CKelvoViewScheduleEdit::Cancel);
    m_delete->setEnabled(false);
    ShowService(-1);
}

void CKelvoViewScheduleEdit::RecordPositions()
{
    QRect block;
    for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (w == m_caption.data())
            continue;
        m_placed.push_back({w, w->pos()});
        block = block.united(w->geometry());
    }
    m_block = block.size();
}

void CKelvoViewScheduleEdit::Layout()
{
    const QRect client = contentsRect();
    const QPoint offset(client.left() + qMax(0, (client.width() - m_block.width()) / 2),
                        client.top() + qMax(0, (client.height() - m_block.height()) / 2));
    for (const Placed& p : m_placed)
        p.w->move(p.pos + offset);
    update();
}

bool CKelvoViewScheduleEdit::Load(const CScheduleElement& schedule, QString* why)
{
    const auto times = ScheduleEdit::ForControls(schedule.start, schedule.end,
                                                 qint64(CScheduleDurationEdit::kMaxHours) * 60 + 59);
    if (!times) {
        const QString text =
            schedule.end < schedule.start
                ? QStringLiteral(
                      "This timer ends before it starts, so its times cannot be shown for editing.")
                : QStringLiteral("This timer's times cannot be shown for editing.");
        if (why) {
            *why = text;
        } else if (m_notice) {
            // Not from inside the caller: a message box's own event loop must not run in the
            // middle of a refill or of the frame's handling of the selection.
            QTimer::singleShot(0, this, [this, text] {
                if (m_notice)
                    m_notice(CStringTable::Get(CStringTable::IDS_TIMER_EDIT), text);
            });
        }
        return false;
    }
    ++m_loads;
    m_work = ScheduleRows::Detached(schedule);
    m_loadedTimes = *times;

    const bool keyed = m_work.svcType >= 0 && m_work.svcIdx >= 0;
    ShowService(keyed ? MakeServiceKey(m_work.svcType, m_work.svcIdx) : -1);
    m_eventName->SetText(m_work.eventName);
    const auto& res = KelvoRes();
    m_eventTimes->SetText(CKelvoRes::FormatTime(res.dateFormatLong, m_work.start) + QStringLiteral(" / ") +
                          CKelvoRes::FormatTime(res.timeFormat, m_work.start) + QStringLiteral(" ~ ") +
                          CKelvoRes::FormatTime(res.timeFormat, m_work.end));
    {
        const QSignalBlocker b1(m_startDate);
        const QSignalBlocker b2(m_startTime);
        m_startDate->setDate(times->date);
        m_startTime->setTime(times->time);
        m_duration->SetMinutes(times->durationMinutes);
    }
    m_endTime->SetText(CKelvoRes::FormatTime(res.timeFormat, m_work.end));
    m_type->setCurrentIndex(m_type->findData(m_work.type));
    m_mode->setCurrentIndex(m_mode->findData(m_work.mode));
    m_delete->setEnabled(m_work.id != 0);
    update();
    return true;
}

void CKelvoViewScheduleEdit::ShowService(int key)
{
    const CServiceElement* s = key >= 0 ? m_db.FindService(key) : nullptr;
    m_serviceKey = s ? key : -1;
    if (s) {
        m_serviceCaption->ShowService(s->lcn, s->name, s->scrambled);
        m_service->setText(ServiceText(s->lcn, s->name));
    } else {
        m_serviceCaption->ShowNone();
        m_service->setText(QStringLiteral("Select Service"));
    }
}

ScheduleEdit::Times CKelvoViewScheduleEdit::ShownTimes() const
{
    return {m_startDate->date(), m_startTime->time(), m_duration->Minutes()};
}

CScheduleElement CKelvoViewScheduleEdit::RecordFromControls() const
{
    CScheduleElement copy = m_work;
    const auto [start, end] =
        ScheduleEdit::FromControls(ShownTimes(), m_loadedTimes, m_work.start, m_work.end);
    copy.start = start;
    copy.end = end;
    copy.type = SelectedValue(m_type);
    copy.mode = SelectedValue(m_mode);
    return copy;
}

void CKelvoViewScheduleEdit::UpdateEndLabel()
{
    m_endTime->SetText(CKelvoRes::FormatTime(KelvoRes().timeFormat, RecordFromControls().end));
}

void CKelvoViewScheduleEdit::Save()
{
    // Without a choice the record would carry -1 there, a value no timer has: nothing is sent.
    const int missing = m_type->currentIndex() < 0   ? CStringTable::IDS_CHECK_TIMER_TYPE
                        : m_mode->currentIndex() < 0 ? CStringTable::IDS_CHECK_TIMER_MODE
                                                     : 0;
    if (missing != 0) {
        if (m_notice)
            m_notice(CStringTable::Get(CStringTable::IDS_TIMER_EDIT), CStringTable::Get(missing));
        return;
    }
    emit m_messages.setSchedule(RecordFromControls());
}

void CKelvoViewScheduleEdit::Delete()
{
    if (m_work.id == 0)
        return;
    const quint64 asked = m_loads;
    if (m_confirmDelete && !m_confirmDelete())
        return;
    if (asked != m_loads)
        return; // the question was about a timer the form no longer shows
    CScheduleElement copy = m_work;
    copy.mode = 0;
    emit m_messages.setSchedule(copy);
}

void CKelvoViewScheduleEdit::Cancel()
{
    emit m_messages.closeScheduleEdit();
}

void CKelvoViewScheduleEdit::ChooseService()
{
    if (!m_picker)
        return;
    const quint64 asked = m_loads;
    const int chosen = m_picker(m_serviceKey);
    // The dialog ran its own event loop: take the chosen service from the database as it is now,
    // and only for the timer it was chosen for.
    const CServiceElement* t = chosen >= 0 && asked == m_loads ? m_db.FindService(chosen) : nullptr;
    if (!t)
        return;
    m_work.satIdx = t->satIdx;
    m_work.svcType = t->type;
    m_work.svcIdx = t->idx;
    ShowService(chosen);
}

QWidget* CKelvoViewScheduleEdit::CaptionContent() const
{
    return m_caption.data();
}

void CKelvoViewScheduleEdit::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout();
}

void CKelvoViewScheduleEdit::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Opened from the program guide (channel mode): the back button leads there.
    if (m_caption)
        m_caption->BackButton()->setVisible(m_uiMode && m_uiMode() == kChannelMode);
}

void CKelvoViewScheduleEdit::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(contentsRect(), KelvoRes().colorBlack);
    m_frame.PaintBorders(p);
}
