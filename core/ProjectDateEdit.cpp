#include "core/ProjectDateEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <algorithm>
#include <array>

namespace kov {

namespace {

enum Field { Month, Day, Year, FieldCount };

constexpr std::array<int, FieldCount> Widths{2, 2, 4};
constexpr std::array<int, FieldCount> Largest{12, 31, 9999};

// A field is done when it has all its digits or when no further digit could keep it in range ("4" as a month).
bool IsFull(int field, const QString& digits)
{
    return digits.size() >= Widths[field] || digits.toInt() * 10 > Largest[field];
}

bool IsAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

}  // namespace

ProjectDateEdit::ProjectDateEdit(QWidget* parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    // Fixed widths keep every field where the typing expects it, whatever the date.
    setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
    lineEdit()->installEventFilter(this);
}

void ProjectDateEdit::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    const bool typed = text.size() == 1 && !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier));
    if (typed && IsAsciiDigit(text[0])) {
        typeDigit(text[0]);
        event->accept();
        return;
    }
    if (typed && text[0] == u'/') {
        nextField();
        event->accept();
        return;
    }
    QDateEdit::keyPressEvent(event);
}

void ProjectDateEdit::focusInEvent(QFocusEvent* event)
{
    m_left = Screen{};
    QDateEdit::focusInEvent(event);
    // QDateEdit puts a Shift+Tab arrival on the year, where a typed date would land in the wrong field.
    if (event->reason() == Qt::BacktabFocusReason)
        setSelectedSection(MonthSection);
}

bool ProjectDateEdit::focusNextPrevChild(bool next)
{
    if (next && hasFocus() && nextField())
        return true;
    return QDateEdit::focusNextPrevChild(next);
}

bool ProjectDateEdit::eventFilter(QObject* watched, QEvent* event)
{
    // A click picks a whole field, so what is typed next replaces it rather than squeezing in beside its digits.
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease && !lineEdit()->hasSelectedText())
        setSelectedSection(currentSection());
    return QDateEdit::eventFilter(watched, event);
}

QValidator::State ProjectDateEdit::validate(QString& input, int& pos) const
{
    // The line edit runs even a set text through the validator, which would pad it and clip a February 29.
    if (m_showingTyping)
        return QValidator::Intermediate;
    return QDateEdit::validate(input, pos);
}

ProjectDateEdit::Screen ProjectDateEdit::screen() const
{
    const QLineEdit* edit = lineEdit();
    return {edit->text(), edit->cursorPosition(), edit->selectionStart(),
            static_cast<int>(edit->selectedText().size())};
}

void ProjectDateEdit::takeUpTyping()
{
    if (screen() == m_left)
        return;
    // Someone else had the box last (focus, a click, an arrow, the popup): start over from what it shows, typing
    // over the field under the cursor, or under the start of the selection, from that point on.
    m_filled = false;
    const QLineEdit* edit = lineEdit();
    QString shown = edit->text();
    int at = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    if (shown.count(u'/') != FieldCount - 1) {
        shown = textFromDateTime(dateTime());
        at = 0;
    }
    m_fields = shown.split(u'/');
    m_field = std::min<int>(static_cast<int>(shown.left(at).count(u'/')), Year);
    m_from = at - fieldStart(m_field);
}

void ProjectDateEdit::typeDigit(QChar digit)
{
    takeUpTyping();
    QString digits = m_fields[m_field].left(m_from);
    digits.removeIf([](QChar c) { return !IsAsciiDigit(c); });
    digits += digit;
    // Digits no date could have ("13" as a month, a fifth year digit, "00") are refused as QDateEdit refuses them.
    if (digits.size() > Widths[m_field] || digits.toInt() > Largest[m_field] ||
        (IsFull(m_field, digits) && digits.toInt() == 0))
        return;
    m_fields[m_field] = digits;
    m_from = static_cast<int>(digits.size());
    m_filled = IsFull(m_field, digits) && m_field < Year;
    if (m_filled)
        leaveField();
    takeTypedDate();
    showTyping();
}

bool ProjectDateEdit::nextField()
{
    takeUpTyping();
    // The person types "/" after every field, also after one that already moved on by itself.
    if (m_filled) {
        m_filled = false;
        m_left = screen();
        return true;
    }
    if (m_field == Year)
        return false;
    leaveField();
    showTyping();
    return true;
}

void ProjectDateEdit::leaveField()
{
    // Only the field being typed may be short: QDateEdit finds the others where the format puts them.
    m_fields[m_field] = m_fields[m_field].rightJustified(Widths[m_field], u'0');
    ++m_field;
    m_from = 0;
}

int ProjectDateEdit::fieldStart(int field) const
{
    int start = 0;
    for (int i = 0; i < field; ++i)
        start += static_cast<int>(m_fields[i].size()) + 1;
    return start;
}

void ProjectDateEdit::showTyping()
{
    QLineEdit* edit = lineEdit();
    const int start = fieldStart(m_field);
    const int size = static_cast<int>(m_fields[m_field].size());
    {
        const QSignalBlocker quiet(edit);
        const QScopedValueRollback showing(m_showingTyping, true);
        edit->setText(m_fields.join(u'/'));
    }
    // QDateEdit follows the field through the cursor signal; a selection keeps it from re-reading the text, which
    // may not be a whole date yet.
    edit->setSelection(start + size, -size);
    if (m_from > 0) {
        const QSignalBlocker quiet(edit);
        edit->setCursorPosition(start + m_from);
    }
    m_left = screen();
}

void ProjectDateEdit::takeTypedDate()
{
    bool monthOk = false;
    bool dayOk = false;
    bool yearOk = false;
    const int month = m_fields[Month].toInt(&monthOk);
    const int day = m_fields[Day].toInt(&dayOk);
    const int year = m_fields[Year].toInt(&yearOk);
    if (!monthOk || !dayOk || !yearOk || m_fields[Year].size() != Widths[Year] || month < 1 || month > 12 || day < 1)
        return;
    // February 29 is usually typed before its year: until the year makes it fit, the box shows it as typed and
    // holds the month's last day.
    const QDate first(year, month, 1);
    const QDate typed(year, month, std::min(day, first.daysInMonth()));
    if (typed >= minimumDate() && typed <= maximumDate())
        setDate(typed);
}

}  // namespace kov
