// The main window: four numbered panels over one Worksheet, and the report
// memo that "Listar" shows in their place.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/display.h"
#include "core/worksheet.h"
#include "numtext/numtext.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ui {

// A one-line edit with its own caption 3 px above it, in the same parent.
class TLabeledEdit;

// Colours of the texts, as the window uses them.
inline const QColor clRed{0xFF, 0x00, 0x00};
inline const QColor clBlue{0x00, 0x00, 0xFF};
inline const QColor clGreen{0x00, 0x80, 0x00};
inline const QColor clBlack{0x00, 0x00, 0x00};

// What the window needs from the desktop: the decimal separator of the
// user's locale, today's date as the locale writes a short date (for the
// report's title), and the clipboard. Tests give their own.
struct Environment {
    numtext::NumberFormat numberFormat;
    QString reportDate;
    // Puts the text on the clipboard; true when the clipboard then holds it.
    std::function<bool(const QString&)> copyToClipboard;

    static Environment fromSystem();
};

// The window's four numbered panels.
enum class Panel { Speaker, Amplifier, Limiter, Diversos };

class TForm1 : public QWidget {
    Q_OBJECT

public:
    explicit TForm1(Environment environment = Environment::fromSystem(), QWidget* parent = nullptr);
    ~TForm1() override;

    // Every message box of the window goes through here; tests replace it to
    // record the messages instead of waiting for a click.
    using MessageBox = std::function<void(const QString&)>;
    void setMessageBox(MessageBox messageBox);
    void ShowMessage(const QString& text);

    const QString& reportTitle() const { return ReportTitle; }
    std::int32_t adjustCount() const { return AdjustCount; }
    // The report, line by line: the title, then 41 lines per "Calcula".
    const QStringList& reportLines() const { return ReportLines; }
    // The whole report as the clipboard receives it: every line followed by
    // carriage return and line feed.
    QString reportText() const;
    // True once "Sair" has put the report on the clipboard.
    bool reportOnClipboard() const { return ReportOnClipboard; }

    // Font colour of an entry, result field or label.
    static QColor fontColor(const QWidget* widget);

private slots:
    // Panel 1's "Aceita": takes the loudspeaker's entries, checks them and
    // shows its voltages and powers in panel 4.
    void Button1Click();
    // Panel 2's "Aceita": locks panel 1, takes the amplifier's entries,
    // checks them and shows its gain and crest factors in panel 4.
    void Button2Click();
    // "Calcula": locks panel 2, shows the limiter's settings in panel 3 and
    // adds a block to the report.
    void Button3Click();
    // "Recalcula": reopens panels 1 and 2 with the entries in green and
    // empties panel 3.
    void Button4Click();
    // "Listar": shows the report in place of panels 1 to 3.
    void Button5Click();
    // "Sair": copies the report to the clipboard and closes the window.
    void Button6Click();
    // "Voltar": from the report back to the panels.
    void Button7Click();

private:  // NOLINT(readability-redundant-access-specifiers): the slots end here
    // A numeric entry's change: stores the number typed, or says that it is
    // not one and marks the entry red.
    void NumericEntryChange(core::Entry entry);

    void buildControls();
    void buildButtons();
    void buildMemo();
    void chainTabOrder();
    // Runs a click handler; a failure that leaves it ends it there and is
    // shown in a message box, and the program goes on.
    void guarded(const std::function<void()>& handler);

    QGroupBox* panel(Panel panel) const;
    QLineEdit* entry(core::Entry entry) const;
    QLineEdit* resultField(core::ResultField field) const;
    void acceptEntries(const std::array<core::Entry, 6>& entries);
    void setEntriesReadOnly(const std::array<core::Entry, 6>& entries, bool readOnly);
    // Panel 4's six lines; the last one is placed, sized and coloured apart.
    void showStatusLines(
        const std::array<std::string, 6>& captions, int lastTop, int lastPoints, const QColor& lastColor);
    void showReportInMemo();

    Environment Env;
    core::Worksheet Worksheet;
    QString ReportTitle;
    std::int32_t AdjustCount = 0;
    QStringList ReportLines;
    qsizetype MemoLines = 0;  // report lines already in the memo
    bool ReportOnClipboard = false;
    MessageBox Message;

    std::array<QGroupBox*, 4> Panels{};                              // by Panel
    std::array<TLabeledEdit*, core::kEntryCount> Entries{};          // by core::Entry
    std::array<QLineEdit*, core::kResultFieldCount> ResultFields{};  // by core::ResultField
    std::array<QLabel*, 6> StatusLines{};                            // panel 4, in reading order
    QPushButton* SpeakerAceita = nullptr;
    QPushButton* AmplifierAceita = nullptr;
    QPushButton* Calcula = nullptr;
    QPushButton* Recalcula = nullptr;
    QPushButton* Listar = nullptr;
    QPushButton* Sair = nullptr;
    QPushButton* Voltar = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
};

}  // namespace ui
