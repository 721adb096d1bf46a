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

#include "core/worksheet.h"
#include "numtext/numtext.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStyle;

namespace ui {

// A one-line edit with its own caption 3 px above it, in the same parent.
class TLabeledEdit;

// Colours of the texts, as the window uses them.
inline const QColor clRed{0xFF, 0x00, 0x00};
inline const QColor clBlue{0x00, 0x00, 0xFF};
inline const QColor clGreen{0x00, 0x80, 0x00};
inline const QColor clBlack{0x00, 0x00, 0x00};

// What the window needs from the desktop: the decimal separator and the
// short date of the user's locale, the date the report's title carries, and
// the clipboard. Tests give their own.
struct Environment {
    numtext::NumberFormat numberFormat;
    numtext::CivilDate today;
    QString shortDatePattern;
    numtext::DateNames dateNames;
    // Puts the text on the clipboard; true when the clipboard then holds it.
    std::function<bool(const QString&)> copyToClipboard;

    static Environment fromSystem();
};

// Windows has no Liberation Sans: the program carries it in fonts/ beside
// itself. Call once the application exists.
void loadFontsBesideProgram();

class TForm1 : public QWidget {
public:
    explicit TForm1(Environment environment = Environment::fromSystem(), QWidget* parent = nullptr);
    ~TForm1() override;

    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // Every message box of the window goes through here; tests replace it to
    // record the messages instead of waiting for a click.
    using MessageBox = std::function<void(const QString&)>;
    void setMessageBox(MessageBox messageBox);
    void ShowMessage(const QString& text);

    const core::Worksheet& worksheet() const { return Worksheet; }
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

    // Handlers, bound to the controls' events.
    void NumericEntryChange(core::Entry entry);
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();

private:
    void buildControls();
    void runCreationSteps();
    void bindHandlers();
    // Runs a click handler; a failure that leaves it ends it there and is
    // shown in a message box, and the program goes on.
    void guarded(const std::function<void()>& handler);

    QLineEdit* entry(core::Entry entry) const;
    void acceptEntries(core::Entry first, core::Entry last);
    void setEntryText(core::Entry entry, const std::string& text);
    void setEntriesReadOnly(core::Entry first, core::Entry last, bool readOnly);
    void placeLabel14(int top, int points, const QColor& color);
    void setCaptions(const std::array<std::string, 6>& captions);
    void appendReportLines(const std::vector<std::string>& lines);
    void showReportInMemo();

    Environment Env;
    core::Worksheet Worksheet;
    QString ReportTitle;
    std::int32_t AdjustCount = 0;
    QStringList ReportLines;
    qsizetype MemoLines = 0;  // report lines already in the memo
    bool ReportOnClipboard = false;
    MessageBox Message;

    std::array<QGroupBox*, 4> GroupBox{};
    std::array<TLabeledEdit*, core::kEntryCount> LabeledEdit{};
    std::array<QLineEdit*, 12> Edit{};
    std::array<QLabel*, 15> Label{};
    std::array<QPushButton*, 7> Button{};
    QPlainTextEdit* Memo1 = nullptr;
    QStyle* PanelStyle = nullptr;
};

}  // namespace ui
