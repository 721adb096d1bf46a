#include "ui/tform1.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QStyleFactory>

#include <exception>

#include "core/display.h"
#include "core/limiter.h"
#include "report/report.h"

namespace ui {

using core::Entry;

class TLabeledEdit : public QLineEdit {
public:
    TLabeledEdit(QWidget* parent, const QString& caption) : QLineEdit(parent), EditLabel(new QLabel(caption, parent))
    {
        setAccessibleName(caption);
    }

    void place(int left, int top, int width, int height)
    {
        setGeometry(left, top, width, height);
        EditLabel->adjustSize();
        EditLabel->move(left, top - 3 - EditLabel->height());
    }

    QLabel* EditLabel;
};

namespace {

const QString kInvalidValue = QStringLiteral("Valor Incorreto !");
const QString kCopied = QStringLiteral(" TEXTO COPIADO PARA O CLIPBOARD !");
const QString kNotCopied = QStringLiteral("Não foi possível copiar o relatório para o clipboard.");

QString qs(const std::string& text) { return QString::fromStdString(text); }

void setFontColor(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, color);
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

void setFontSize(QWidget* widget, int points)
{
    QFont font = widget->font();
    font.setPointSize(points);
    widget->setFont(font);
}

void setCaption(QLabel* label, const QString& text)
{
    label->setText(text);
    label->adjustSize();
}

QPalette lightPalette()
{
    QPalette palette(QColor(0xF0, 0xF0, 0xF0));  // the window and the buttons
    palette.setColor(QPalette::Base, Qt::white);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, Qt::black);
    palette.setColor(QPalette::Highlight, QColor(0x00, 0x78, 0xD7));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    return palette;
}

struct EntryControl {
    int group;  // 0 for panel 1, 1 for panel 2
    const char* caption;
    const char* defaultText;
    int left, top, width;
};

constexpr std::array<EntryControl, core::kEntryCount> kEntries{{
    {0, "1.1 - Marca", "Tamsorel", 10, 35, 215},
    {0, "1.2 - Modelo", "TQ 2005", 235, 35, 217},
    {0, "1.3 - Znom (Ohms)", "8.00", 10, 75, 100},
    {0, "1.4 - P. Max (Watts)", "125", 125, 75, 100},
    {0, "1.5 - Freq Rec (Hertz)", "1250", 235, 75, 100},
    {0, "1.6 - Freq Desejada ", "2000", 350, 75, 100},
    {1, "2.1 - Marca", "Morvask", 10, 35, 215},
    {1, "2.2 - Modelo", "RZ 2005", 235, 35, 215},
    {1, "2.3 Vin (Volts)", "0.775", 10, 75, 100},
    {1, "2.4 - Znom (Ohms)", "8", 120, 75, 100},
    {1, "2.5 - Pmax @ Znom", "1000", 235, 75, 100},
    {1, "2.6 - Fator Crista (dB)", "6", 352, 75, 100},
}};

// A result field of panel 3: its place, and the name a screen reader says,
// from its row and column.
struct ResultField {
    int left, top, width;
    const char* name;
};

constexpr std::array<ResultField, 12> kResultFields{{
    {235, 25, 100, "3.1 - Limiar Tensão em Volts, V"},
    {350, 25, 100, "3.1 - Limiar Tensão em Volts, mV"},
    {235, 50, 100, "3.2 - Limiar Tensão em dBU, dBu"},
    {350, 50, 100, "3.2 - Limiar Tensão em dBU, dBu, coluna direita"},
    {235, 75, 100, "3.3 - Limiar Tensão em dBV, dBV"},
    {350, 75, 100, "3.3 - Limiar Tensão em dBV, dBV, coluna direita"},
    {200, 128, 75, "3.5 - Tempo de Ataque, Slow (ms)"},
    {288, 128, 75, "3.5 - Tempo de Ataque, Medium (ms)"},
    {376, 128, 75, "3.5 - Tempo de Ataque, Fast (ms)"},
    {200, 160, 75, "3.6 - Tempo de Liberação, Slow (ms)"},
    {288, 160, 75, "3.6 - Tempo de Liberação, Medium (ms)"},
    {376, 160, 75, "3.6 - Tempo de Liberação, Fast (ms)"},
}};

// A label or a button: its panel (0 to 3), caption and place in the panel.
struct CaptionedControl {
    int group;
    const char* caption;
    int left, top;
};

// Label1 to Label15.
constexpr std::array<CaptionedControl, 15> kLabels{{
    {2, "3.1 - Limiar Tensão em Volts  : ", 15, 30},
    {2, "3.2 - Limiar Tensão em dBU :", 15, 55},
    {2, "3.3 - Limiar Tensão em dBV  : ", 15, 80},
    {2, "3.5 - Tempo de Ataque (Attack) ", 15, 128},
    {2, "Slow (ms)", 216, 104},
    {2, "Medium (ms)", 296, 104},
    {2, "Fast (ms)", 392, 104},
    {2, "3.6 - Tempo de Liberação (Release) ", 15, 168},
    {3, "01", 16, 24},
    {3, "02", 232, 24},
    {3, "03", 16, 48},
    {3, "04", 232, 48},
    {3, "05", 16, 72},
    {3, "06", 232, 72},
    {2, "(Threshold = Limiar)", 460, 30},
}};

constexpr std::array<CaptionedControl, 7> kButtons{{
    {0, "Aceita", 480, 75},
    {1, "Aceita", 480, 75},
    {2, "Calcula", 480, 160},
    {3, "Recalcula", 480, 12},
    {3, "Listar", 480, 40},
    {3, "Sair", 480, 70},
    {3, "Voltar", 392, 40},
}};

constexpr std::array<const char*, 4> kGroupTitles{
    "   1 - Dados do Falante / Driver   ",
    "   2 - Dados do Amplificador   ",
    "   3 - Parametros Ajuste Limiter   ",
    "   4 - Diversos  ",
};

constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kEditHeight = 21;
constexpr int kLabel14Top = 72;
constexpr int kLabel14TopLarge = 80;
constexpr int kLabel14Left = 232;

// Sender of a message from the checking functions: shows it, then marks the
// entry red once the user has closed it.
class WindowSink : public core::MessageSink {
public:
    WindowSink(TForm1& form, std::function<QLineEdit*(Entry)> entry) : Form(form), EntryOf(std::move(entry)) { }

    void report(const std::string& text, Entry entry) override
    {
        Form.ShowMessage(qs(text));
        setFontColor(EntryOf(entry), clRed);
    }

private:
    TForm1& Form;
    std::function<QLineEdit*(Entry)> EntryOf;
};

}  // namespace

Environment Environment::fromSystem()
{
    Environment env;
    const QLocale locale = QLocale::system();
    const QString point = locale.decimalPoint();
    if (point.size() == 1 && point[0].unicode() < 0x80)
        env.numberFormat.decimalSeparator = static_cast<char>(point[0].unicode());
    const QDate today = QDate::currentDate();
    env.today = {today.year(), today.month(), today.day()};
    env.shortDatePattern = locale.dateFormat(QLocale::ShortFormat);
    for (int m = 1; m <= 12; ++m) {
        env.dateNames.shortMonths[static_cast<std::size_t>(m - 1)] =
            locale.monthName(m, QLocale::ShortFormat).toStdString();
        env.dateNames.longMonths[static_cast<std::size_t>(m - 1)] = locale.monthName(m).toStdString();
    }
    for (int d = 1; d <= 7; ++d) {
        env.dateNames.shortDays[static_cast<std::size_t>(d - 1)] =
            locale.dayName(d, QLocale::ShortFormat).toStdString();
        env.dateNames.longDays[static_cast<std::size_t>(d - 1)] = locale.dayName(d).toStdString();
    }
    env.copyToClipboard = [](const QString& text) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(text);
        return clipboard->text() == text;
    };
    return env;
}

void loadFontsBesideProgram()
{
#ifdef Q_OS_WIN
    const QDir fonts(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    for (const QString& file : fonts.entryList({QStringLiteral("*.ttf")}, QDir::Files))
        QFontDatabase::addApplicationFont(fonts.filePath(file));
#endif
}

TForm1::TForm1(Environment environment, QWidget* parent) : QWidget(parent), Env(std::move(environment))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quorvane V 2.1.0"));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSize(8);
    setFont(font);
    // The colours of the texts carry meaning and were chosen for a light
    // window: keep it light whatever the desktop's theme.
    setPalette(lightPalette());
    buildControls();
    runCreationSteps();
    bindHandlers();
}

TForm1::~TForm1() = default;

void TForm1::buildControls()
{
    // Panels in the classic style: the frame starts half a line down with the
    // title on its top line, so controls placed near the top (Recalcula at
    // 12) stay inside the frame.
    PanelStyle = QStyleFactory::create(QStringLiteral("Windows"));
    if (PanelStyle != nullptr)
        PanelStyle->setParent(this);
    for (std::size_t i = 0; i < GroupBox.size(); ++i) {
        GroupBox[i] = new QGroupBox(QString::fromUtf8(kGroupTitles[i]), this);
        GroupBox[i]->setStyle(PanelStyle);
        GroupBox[i]->setObjectName(QStringLiteral("GroupBox%1").arg(i + 1));
    }
    for (std::size_t i = 0; i < LabeledEdit.size(); ++i) {
        const EntryControl& c = kEntries[i];
        auto* edit = new TLabeledEdit(GroupBox[static_cast<std::size_t>(c.group)], QString::fromUtf8(c.caption));
        edit->setObjectName(QStringLiteral("LabeledEdit%1").arg(i + 1));
        edit->EditLabel->setObjectName(QStringLiteral("LabeledEdit%1Label").arg(i + 1));
        edit->setText(QString::fromUtf8(c.defaultText));
        edit->place(c.left, c.top, c.width, kEditHeight);
        LabeledEdit[i] = edit;
    }
    for (std::size_t i = 0; i < Edit.size(); ++i) {
        Edit[i] = new QLineEdit(GroupBox[2]);
        Edit[i]->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
        Edit[i]->setReadOnly(true);
        Edit[i]->setAccessibleName(QString::fromUtf8(kResultFields[i].name));
        Edit[i]->setGeometry(kResultFields[i].left, kResultFields[i].top, kResultFields[i].width, kEditHeight);
    }
    for (std::size_t i = 0; i < Label.size(); ++i) {
        const CaptionedControl& c = kLabels[i];
        Label[i] = new QLabel(GroupBox[static_cast<std::size_t>(c.group)]);
        Label[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        Label[i]->move(c.left, c.top);
        setCaption(Label[i], QString::fromUtf8(c.caption));
    }
    for (std::size_t i = 0; i < Button.size(); ++i) {
        const CaptionedControl& c = kButtons[i];
        Button[i] = new QPushButton(QString::fromUtf8(c.caption), GroupBox[static_cast<std::size_t>(c.group)]);
        Button[i]->setObjectName(QStringLiteral("Button%1").arg(i + 1));
        Button[i]->setAccessibleName(Button[i]->text());
        Button[i]->setGeometry(c.left, c.top, kButtonWidth, kButtonHeight);
        // Return and Enter press the focused button, as Space does.
        Button[i]->setAutoDefault(true);
    }
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setAccessibleName(QStringLiteral("Relatório"));
    // Nothing is ever undone in the report; an undo history would only grow.
    Memo1->setUndoRedoEnabled(false);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    // Tab order: panel by panel, and inside each panel as the user reads it;
    // Edit4 comes last in panel 3, after "Calcula".
    std::vector<QWidget*> chain(LabeledEdit.begin(), LabeledEdit.begin() + 6);
    chain.push_back(Button[0]);
    chain.insert(chain.end(), LabeledEdit.begin() + 6, LabeledEdit.end());
    chain.insert(chain.end(),
        {Button[1], Edit[0], Edit[1], Edit[2], Edit[4], Edit[5], Edit[6], Edit[7], Edit[8], Edit[9], Edit[10], Edit[11],
            Button[2], Edit[3], Button[3], Button[4], Button[5], Button[6], Memo1});
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void TForm1::runCreationSteps()
{
    move(20, 20);
    // Room for panel 4 (down to y = 555) and a small margin; with the frame
    // the window is about 590 x 590.
    resize(580, 562);
    GroupBox[0]->setGeometry(5, 10, 570, 115);
    GroupBox[1]->setGeometry(5, 135, 570, 115);
    GroupBox[2]->setGeometry(5, 255, 570, 195);
    GroupBox[3]->setGeometry(5, 455, 570, 100);
    AdjustCount = 1;
    Memo1->hide();
    Memo1->setGeometry(5, 10, 570, 420);
    ReportTitle = qs(report::ReportTitle(Env.today, Env.shortDatePattern.toStdString(), Env.dateNames));
    ReportLines << ReportTitle;
    showReportInMemo();
    Button[6]->hide();
}

void TForm1::bindHandlers()
{
    for (const core::EntrySpec& spec : core::entrySpecs()) {
        if (spec.number == nullptr)
            continue;
        const Entry e = spec.entry;
        connect(entry(e), &QLineEdit::textChanged, this, [this, e] { NumericEntryChange(e); });
    }
    const std::array<void (TForm1::*)(), 7> clicks{&TForm1::Button1Click, &TForm1::Button2Click, &TForm1::Button3Click,
        &TForm1::Button4Click, &TForm1::Button5Click, &TForm1::Button6Click, &TForm1::Button7Click};
    for (std::size_t i = 0; i < clicks.size(); ++i)
        connect(Button[i], &QPushButton::clicked, this, clicks[i]);
}

void TForm1::setMessageBox(MessageBox messageBox) { Message = std::move(messageBox); }

void TForm1::ShowMessage(const QString& text)
{
    if (Message) {
        Message(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quorvane"), text, QMessageBox::Ok, this);
    // Messages quote what the user typed: never read it as markup.
    box.setTextFormat(Qt::PlainText);
    box.setPalette(palette());
    box.setFont(font());
    box.exec();
}

QString TForm1::reportText() const
{
    const QString crlf = QStringLiteral("\r\n");
    return ReportLines.join(crlf) + crlf;
}

QColor TForm1::fontColor(const QWidget* widget)
{
    const bool isEdit = qobject_cast<const QLineEdit*>(widget) != nullptr;
    return widget->palette().color(isEdit ? QPalette::Text : QPalette::WindowText);
}

void TForm1::guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowMessage(QStringLiteral("Erro inesperado."));
    }
}

QLineEdit* TForm1::entry(Entry e) const { return LabeledEdit[static_cast<std::size_t>(core::entryIndex(e))]; }

void TForm1::setEntryText(Entry e, const std::string& text)
{
    // On a numeric entry a changed text runs its change handler, which
    // re-reads what the user now sees.
    entry(e)->setText(qs(text));
}

void TForm1::acceptEntries(Entry first, Entry last)
{
    for (int i = core::entryIndex(first); i <= core::entryIndex(last); ++i) {
        const auto e = static_cast<Entry>(i);
        const std::string shown = core::acceptEntry(Worksheet, e, entry(e)->text().toStdString(), Env.numberFormat);
        setFontColor(entry(e), clBlue);
        setEntryText(e, shown);
    }
}

void TForm1::setEntriesReadOnly(Entry first, Entry last, bool readOnly)
{
    for (int i = core::entryIndex(first); i <= core::entryIndex(last); ++i)
        entry(static_cast<Entry>(i))->setReadOnly(readOnly);
}

// Label14 carries the last line of panel 4: in the loudspeaker's form at its
// home place, in the amplifier's form lower, larger and red.
void TForm1::placeLabel14(int top, int points, const QColor& color)
{
    QLabel* label14 = Label[13];
    label14->move(kLabel14Left, top);
    setFontSize(label14, points);
    setFontColor(label14, color);
}

void TForm1::setCaptions(const std::array<std::string, 6>& captions)
{
    for (std::size_t i = 0; i < captions.size(); ++i)
        setCaption(Label[8 + i], qs(captions[i]));
}

void TForm1::appendReportLines(const std::vector<std::string>& lines)
{
    // Calcula is hidden in the report view: the memo takes the lines when it
    // is next shown.
    for (const std::string& line : lines)
        ReportLines << qs(line);
}

void TForm1::showReportInMemo()
{
    // The memo is brought up to date when it is looked at, so a Calcula
    // costs the same after a thousand blocks as after the first.
    if (MemoLines == ReportLines.size())
        return;
    Memo1->appendPlainText(ReportLines.mid(MemoLines).join(QLatin1Char('\n')));
    MemoLines = ReportLines.size();
}

void TForm1::NumericEntryChange(Entry e)
{
    try {
        core::storeEntryText(Worksheet, e, entry(e)->text().toStdString(), Env.numberFormat);
    } catch (...) {
        ShowMessage(kInvalidValue);
        setFontColor(entry(e), clRed);
    }
}

void TForm1::Button1Click()
{
    guarded([this] {
        acceptEntries(Entry::LabeledEdit1, Entry::LabeledEdit6);
        WindowSink sink(*this, [this](Entry e) { return entry(e); });
        core::CheckSpeakerData(Worksheet, sink);
        core::DeriveSpeakerValues(Worksheet);
        placeLabel14(kLabel14Top, 8, clBlack);
        setCaptions(core::speakerCaptions(Worksheet, Env.numberFormat));
        entry(Entry::LabeledEdit7)->setFocus();
        // "Calcula" may have left panel 2's "Aceita" hidden: the focus then
        // stays on the amplifier's brand.
        if (!Button[1]->isHidden())
            Button[1]->setFocus();
    });
}

void TForm1::Button2Click()
{
    guarded([this] {
        Button[0]->hide();
        setEntriesReadOnly(Entry::LabeledEdit1, Entry::LabeledEdit6, true);
        acceptEntries(Entry::LabeledEdit7, Entry::LabeledEdit12);
        WindowSink sink(*this, [this](Entry e) { return entry(e); });
        core::CheckAmplifierData(Worksheet, sink);
        core::DeriveAmplifierValues(Worksheet);
        const auto captions = core::amplifierCaptions(Worksheet, Env.numberFormat);
        for (std::size_t i = 0; i < 5; ++i)
            setCaption(Label[8 + i], qs(captions[i]));
        placeLabel14(kLabel14TopLarge, 10, clRed);
        setCaption(Label[13], qs(captions[5]));
        Button[2]->setFocus();
    });
}

void TForm1::Button3Click()
{
    guarded([this] {
        Button[1]->hide();
        setEntriesReadOnly(Entry::LabeledEdit7, Entry::LabeledEdit12, true);
        if (core::ComputeLimiterSettings(Worksheet)) {
            ShowMessage(QString::fromUtf8(core::kThresholdWarning));
            Button[1]->show();
            QLineEdit* crest = entry(Entry::LabeledEdit12);
            crest->setReadOnly(false);
            setFontColor(crest, clRed);
            crest->setFocus();
        }
        const auto texts = core::limiterFieldTexts(Worksheet, Env.numberFormat);
        // Left column first, then the right column in red, then the times.
        for (std::size_t i : {0, 2, 4})
            Edit[i]->setText(qs(texts[i]));
        for (std::size_t i : {1, 3, 5}) {
            setFontColor(Edit[i], clRed);
            Edit[i]->setText(qs(texts[i]));
        }
        for (std::size_t i = 6; i < 12; ++i)
            Edit[i]->setText(qs(texts[i]));
        for (std::size_t i = 8; i < 14; ++i)
            setCaption(Label[i], QString());

        appendReportLines(report::BuildReportBlock(Worksheet, AdjustCount, Env.numberFormat));
        ++AdjustCount;
        Button[3]->setFocus();
    });
}

void TForm1::Button4Click()
{
    guarded([this] {
        Button[0]->show();
        Button[1]->show();
        for (const core::EntrySpec& spec : core::entrySpecs()) {
            setFontColor(entry(spec.entry), clGreen);
            setEntryText(spec.entry, core::recalcEntryText(Worksheet, spec.entry, Env.numberFormat));
        }
        setEntriesReadOnly(Entry::LabeledEdit1, Entry::LabeledEdit12, false);
        for (QLineEdit* edit : Edit)
            edit->clear();
        entry(Entry::LabeledEdit1)->setFocus();
    });
}

void TForm1::Button5Click()
{
    guarded([this] {
        for (int i = 0; i < 3; ++i)
            GroupBox[static_cast<std::size_t>(i)]->hide();
        Button[3]->hide();
        showReportInMemo();
        Memo1->show();
        Button[6]->setGeometry(480, 12, kButtonWidth, Button[6]->height());
        Button[6]->show();
    });
}

void TForm1::Button6Click()
{
    guarded([this] {
        // The report is the only record of the session: if the clipboard did
        // not take it, say so and leave the window as it was.
        if (!Env.copyToClipboard || !Env.copyToClipboard(reportText())) {
            ShowMessage(kNotCopied);
            return;
        }
        ReportOnClipboard = true;
        Button[3]->show();
        showReportInMemo();
        Memo1->selectAll();
        ShowMessage(kCopied);
        close();
    });
}

void TForm1::Button7Click()
{
    guarded([this] {
        for (int i = 0; i < 3; ++i)
            GroupBox[static_cast<std::size_t>(i)]->show();
        Button[3]->show();
        Memo1->hide();
        Button[6]->hide();
        Button[3]->setFocus();
    });
}

}  // namespace ui
