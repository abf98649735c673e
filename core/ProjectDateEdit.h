#pragma once

#include <QDateEdit>
#include <QStringList>

namespace kov {

// The project's date box: MM/dd/yyyy with the calendar popup. A date typed as m/d/yyyy is taken as typed.
// QDateEdit's own typing skips a field when "/" follows a field that already moved on by itself, clips a day the
// shown year lacks (February 29) before the year is typed, and drops digits typed over more than one field, so
// digits and "/" are handled here; arrows, Backspace, the popup and the rest stay QDateEdit's. The typing depends
// on the display format: leave it as set here.
class ProjectDateEdit : public QDateEdit {
    Q_OBJECT

public:
    explicit ProjectDateEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    // Tab inside the box is "/": it moves to the next field, and only leaves the box from the year.
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    QValidator::State validate(QString& input, int& pos) const override;

private:
    struct Screen {
        QString text;
        int cursor = -1;
        int selectionStart = -1;
        int selectionLength = 0;
        bool operator==(const Screen&) const = default;
    };

    Screen screen() const;
    void takeUpTyping();
    void typeDigit(QChar digit);
    bool nextField();
    void leaveField();
    int fieldStart(int field) const;
    void showTyping();
    void takeTypedDate();

    QStringList m_fields;  // month, day, year as the box shows them while a date is typed
    int m_field = 0;
    int m_from = 0;         // where in m_field the next digit goes; what follows it is typed over
    bool m_filled = false;  // the last digit completed its field and moved on: a "/" now is the same step
    bool m_showingTyping = false;
    Screen m_left;  // the box as the last typed key left it; anything else means the typing was interrupted
};

}  // namespace kov
