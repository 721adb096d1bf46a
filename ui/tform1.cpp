#include "ui/tform1.h"

#include <QClipboard>
#include <QDate>
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

#include <algorithm>
#include <exception>
#include <iterator>

#include "core/keyed_table.h"
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

    // The caption's line is 13 px tall, 3 px above the entry, whatever height
    // the font engine rounds the caption to (DirectWrite gives 12 px).
    void place(int left, int top, int width, int height)
    {
        setGeometry(left, top, width, height);
        EditLabel->adjustSize();
        EditLabel->move(left, top - 3 - kCaptionLineHeight);
    }

    static constexpr int kCaptionLineHeight = 13;

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

// Panels 1 to 4: title and place in the window.
struct PanelControl {
    Panel key;
    const char* objectName;
    const char* title;
    int left, top, width, height;
};

constexpr std::array<PanelControl, 4> kPanels{{
    {Panel::Speaker, "GroupBox1", "   1 - Dados do Falante / Driver   ", 5, 10, 570, 115},
    {Panel::Amplifier, "GroupBox2", "   2 - Dados do Amplificador   ", 5, 135, 570, 115},
    {Panel::Limiter, "GroupBox3", "   3 - Parametros Ajuste Limiter   ", 5, 255, 570, 195},
    {Panel::Diversos, "GroupBox4", "   4 - Diversos  ", 5, 455, 570, 100},
}};
static_assert(core::inKeyOrder(kPanels));

// The entries of panels 1 and 2: caption, default text and place.
struct EntryControl {
    Entry key;
    Panel panel;
    const char* objectName;
    const char* caption;
    const char* defaultText;
    int left, top, width;
};

constexpr std::array<EntryControl, core::kEntryCount> kEntries{{
    {Entry::SpkBrand, Panel::Speaker, "LabeledEdit1", "1.1 - Marca", "Tamsorel", 10, 35, 215},
    {Entry::SpkModel, Panel::Speaker, "LabeledEdit2", "1.2 - Modelo", "TQ 2005", 235, 35, 217},
    {Entry::SpkZnom, Panel::Speaker, "LabeledEdit3", "1.3 - Znom (Ohms)", "8.00", 10, 75, 100},
    {Entry::SpkPmax, Panel::Speaker, "LabeledEdit4", "1.4 - P. Max (Watts)", "125", 125, 75, 100},
    {Entry::FreqRec, Panel::Speaker, "LabeledEdit5", "1.5 - Freq Rec (Hertz)", "1250", 235, 75, 100},
    {Entry::FreqDes, Panel::Speaker, "LabeledEdit6", "1.6 - Freq Desejada ", "2000", 350, 75, 100},
    {Entry::AmpBrand, Panel::Amplifier, "LabeledEdit7", "2.1 - Marca", "Morvask", 10, 35, 215},
    {Entry::AmpModel, Panel::Amplifier, "LabeledEdit8", "2.2 - Modelo", "RZ 2005", 235, 35, 215},
    {Entry::AmpVin, Panel::Amplifier, "LabeledEdit9", "2.3 Vin (Volts)", "0.775", 10, 75, 100},
    {Entry::AmpZnom, Panel::Amplifier, "LabeledEdit10", "2.4 - Znom (Ohms)", "8", 120, 75, 100},
    {Entry::AmpPmax, Panel::Amplifier, "LabeledEdit11", "2.5 - Pmax @ Znom", "1000", 235, 75, 100},
    {Entry::CrestDb, Panel::Amplifier, "LabeledEdit12", "2.6 - Fator Crista (dB)", "6", 352, 75, 100},
}};
static_assert(core::inKeyOrder(kEntries));

// Panel 3's read-only result fields: place, the name a screen reader says
// (from the field's row and column), and whether "Calcula" shows it in red.
struct ResultControl {
    core::ResultField key;
    const char* objectName;
    int left, top, width;
    const char* name;
    bool red;
};

using Result = core::ResultField;
constexpr std::array<ResultControl, core::kResultFieldCount> kResults{{
    {Result::LimVolts, "Edit1", 235, 25, 100, "3.1 - Limiar Tensão em Volts, V", false},
    {Result::LimMillivolts, "Edit2", 350, 25, 100, "3.1 - Limiar Tensão em Volts, mV", true},
    {Result::LimDbu, "Edit3", 235, 50, 100, "3.2 - Limiar Tensão em dBU, dBu", false},
    {Result::LimDbuRight, "Edit4", 350, 50, 100, "3.2 - Limiar Tensão em dBU, dBu, coluna direita", true},
    {Result::LimDbv, "Edit5", 235, 75, 100, "3.3 - Limiar Tensão em dBV, dBV", false},
    {Result::LimDbvRight, "Edit6", 350, 75, 100, "3.3 - Limiar Tensão em dBV, dBV, coluna direita", true},
    {Result::AttackSlow, "Edit7", 200, 128, 75, "3.5 - Tempo de Ataque, Slow (ms)", false},
    {Result::AttackMedium, "Edit8", 288, 128, 75, "3.5 - Tempo de Ataque, Medium (ms)", false},
    {Result::AttackFast, "Edit9", 376, 128, 75, "3.5 - Tempo de Ataque, Fast (ms)", false},
    {Result::ReleaseSlow, "Edit10", 200, 160, 75, "3.6 - Tempo de Liberação, Slow (ms)", false},
    {Result::ReleaseMedium, "Edit11", 288, 160, 75, "3.6 - Tempo de Liberação, Medium (ms)", false},
    {Result::ReleaseFast, "Edit12", 376, 160, 75, "3.6 - Tempo de Liberação, Fast (ms)", false},
}};
static_assert(core::inKeyOrder(kResults));

// A label: its panel, caption and place.
struct LabelControl {
    Panel panel;
    const char* objectName;
    const char* caption;
    int left, top;
};

// Panel 3's captions, which never change.
constexpr LabelControl kCaptions[] = {
    {Panel::Limiter, "Label1", "3.1 - Limiar Tensão em Volts  : ", 15, 30},
    {Panel::Limiter, "Label2", "3.2 - Limiar Tensão em dBU :", 15, 55},
    {Panel::Limiter, "Label3", "3.3 - Limiar Tensão em dBV  : ", 15, 80},
    {Panel::Limiter, "Label4", "3.5 - Tempo de Ataque (Attack) ", 15, 128},
    {Panel::Limiter, "Label5", "Slow (ms)", 216, 104},
    {Panel::Limiter, "Label6", "Medium (ms)", 296, 104},
    {Panel::Limiter, "Label7", "Fast (ms)", 392, 104},
    {Panel::Limiter, "Label8", "3.6 - Tempo de Liberação (Release) ", 15, 168},
    {Panel::Limiter, "Label15", "(Threshold = Limiar)", 460, 30},
};

// Panel 4's six status lines, in two columns, as they start.
constexpr std::array<LabelControl, 6> kStatusLines{{
    {Panel::Diversos, "Label9", "01", 16, 24},
    {Panel::Diversos, "Label10", "02", 232, 24},
    {Panel::Diversos, "Label11", "03", 16, 48},
    {Panel::Diversos, "Label12", "04", 232, 48},
    {Panel::Diversos, "Label13", "05", 16, 72},
    {Panel::Diversos, "Label14", "06", 232, 72},
}};

// The last status line in the loudspeaker's form, and lower and larger in
// the amplifier's.
constexpr int kLastLineTop = 72;
constexpr int kLastLineTopLarge = 80;

constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kEditHeight = 21;

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
    env.reportDate = locale.toString(QDate::currentDate(), QLocale::ShortFormat);
    env.copyToClipboard = [](const QString& text) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(text);
        return clipboard->text() == text;
    };
    return env;
}

TForm1::TForm1(Environment environment, QWidget* parent) : QWidget(parent), Env(std::move(environment))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quorvane V " QUORVANE_VERSION));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSize(8);
    setFont(font);
    // The colours of the texts carry meaning and were chosen for a light
    // window: keep it light whatever the desktop's theme.
    setPalette(lightPalette());
    move(20, 20);
    // Room for panel 4 (down to y = 555) and a small margin; with the frame
    // the window is about 590 x 590.
    resize(580, 562);
    buildControls();
    chainTabOrder();
    AdjustCount = 1;
    ReportTitle = qs(report::ReportTitle(Env.reportDate.toStdString()));
    ReportLines << ReportTitle;
    showReportInMemo();
}

TForm1::~TForm1() = default;

void TForm1::buildControls()
{
    // Panels in the classic style: the frame starts half a line down with the
    // title on its top line, so controls placed near the top (Recalcula at
    // 12) stay inside the frame.
    QStyle* panelStyle = QStyleFactory::create(QStringLiteral("Windows"));
    if (panelStyle != nullptr)
        panelStyle->setParent(this);
    for (const PanelControl& c : kPanels) {
        auto* box = new QGroupBox(QString::fromUtf8(c.title), this);
        box->setObjectName(QString::fromUtf8(c.objectName));
        box->setStyle(panelStyle);
        box->setGeometry(c.left, c.top, c.width, c.height);
        Panels[static_cast<std::size_t>(c.key)] = box;
    }
    for (const EntryControl& c : kEntries) {
        auto* edit = new TLabeledEdit(panel(c.panel), QString::fromUtf8(c.caption));
        edit->setObjectName(QString::fromUtf8(c.objectName));
        edit->EditLabel->setObjectName(edit->objectName() + QStringLiteral("Label"));
        edit->setText(QString::fromUtf8(c.defaultText));
        edit->place(c.left, c.top, c.width, kEditHeight);
        Entries[static_cast<std::size_t>(c.key)] = edit;
        if (core::isNumeric(c.key))
            connect(edit, &QLineEdit::textChanged, this, [this, e = c.key] { NumericEntryChange(e); });
    }
    for (const ResultControl& c : kResults) {
        auto* field = new QLineEdit(panel(Panel::Limiter));
        field->setObjectName(QString::fromUtf8(c.objectName));
        field->setReadOnly(true);
        field->setAccessibleName(QString::fromUtf8(c.name));
        field->setGeometry(c.left, c.top, c.width, kEditHeight);
        ResultFields[static_cast<std::size_t>(c.key)] = field;
    }
    const auto addLabel = [this](const LabelControl& c) {
        auto* label = new QLabel(panel(c.panel));
        label->setObjectName(QString::fromUtf8(c.objectName));
        label->move(c.left, c.top);
        setCaption(label, QString::fromUtf8(c.caption));
        return label;
    };
    for (const LabelControl& c : kCaptions)
        addLabel(c);
    for (std::size_t i = 0; i < kStatusLines.size(); ++i)
        StatusLines[i] = addLabel(kStatusLines[i]);

    buildButtons();
    buildMemo();
}

void TForm1::buildButtons()
{
    struct ButtonControl {
        QPushButton* TForm1::*member;
        Panel panel;
        const char* objectName;
        const char* caption;
        int left, top;
        void (TForm1::*click)();
    };
    const ButtonControl buttons[] = {
        {&TForm1::SpeakerAceita, Panel::Speaker, "Button1", "Aceita", 480, 75, &TForm1::Button1Click},
        {&TForm1::AmplifierAceita, Panel::Amplifier, "Button2", "Aceita", 480, 75, &TForm1::Button2Click},
        {&TForm1::Calcula, Panel::Limiter, "Button3", "Calcula", 480, 160, &TForm1::Button3Click},
        {&TForm1::Recalcula, Panel::Diversos, "Button4", "Recalcula", 480, 12, &TForm1::Button4Click},
        {&TForm1::Listar, Panel::Diversos, "Button5", "Listar", 480, 40, &TForm1::Button5Click},
        {&TForm1::Sair, Panel::Diversos, "Button6", "Sair", 480, 70, &TForm1::Button6Click},
        {&TForm1::Voltar, Panel::Diversos, "Button7", "Voltar", 392, 40, &TForm1::Button7Click},
    };
    for (const ButtonControl& c : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(c.caption), panel(c.panel));
        button->setObjectName(QString::fromUtf8(c.objectName));
        button->setAccessibleName(button->text());
        button->setGeometry(c.left, c.top, kButtonWidth, kButtonHeight);
        // Return and Enter press the focused button, as Space does.
        button->setAutoDefault(true);
        connect(button, &QPushButton::clicked, this, c.click);
        this->*c.member = button;
    }
    Voltar->hide();
}

void TForm1::buildMemo()
{
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setAccessibleName(QStringLiteral("Relatório"));
    // Nothing is ever undone in the report; an undo history would only grow.
    Memo1->setUndoRedoEnabled(false);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setGeometry(5, 10, 570, 420);
    Memo1->hide();
}

void TForm1::chainTabOrder()
{
    // Panel by panel, and inside each panel as the user reads it; but the
    // right-hand dBu field comes last in panel 3, after "Calcula".
    std::vector<QWidget*> chain;
    chain.reserve(Entries.size() + ResultFields.size() + 8);  // and seven buttons and the memo
    const auto addEntries = [this, &chain](const std::array<Entry, 6>& entries) {
        std::transform(entries.begin(), entries.end(), std::back_inserter(chain), [this](Entry e) { return entry(e); });
    };
    addEntries(core::kSpeakerEntries);
    chain.push_back(SpeakerAceita);
    addEntries(core::kAmplifierEntries);
    chain.push_back(AmplifierAceita);
    std::copy_if(ResultFields.begin(), ResultFields.end(), std::back_inserter(chain),
        [this](const QLineEdit* field) { return field != resultField(Result::LimDbuRight); });
    chain.insert(chain.end(), {Calcula, resultField(Result::LimDbuRight), Recalcula, Listar, Sair, Voltar, Memo1});
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
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

QGroupBox* TForm1::panel(Panel p) const { return Panels[static_cast<std::size_t>(p)]; }

QLineEdit* TForm1::entry(Entry e) const { return Entries[static_cast<std::size_t>(e)]; }

QLineEdit* TForm1::resultField(core::ResultField field) const { return ResultFields[static_cast<std::size_t>(field)]; }

void TForm1::acceptEntries(const std::array<Entry, 6>& entries)
{
    for (const Entry e : entries) {
        const std::string shown = core::acceptEntry(Worksheet, e, entry(e)->text().toStdString(), Env.numberFormat);
        setFontColor(entry(e), clBlue);
        // On a numeric entry the changed text runs its change handler, which
        // re-reads what the user now sees.
        entry(e)->setText(qs(shown));
    }
}

void TForm1::setEntriesReadOnly(const std::array<Entry, 6>& entries, bool readOnly)
{
    for (const Entry e : entries)
        entry(e)->setReadOnly(readOnly);
}

void TForm1::showStatusLines(
    const std::array<std::string, 6>& captions, int lastTop, int lastPoints, const QColor& lastColor)
{
    QLabel* last = StatusLines.back();
    last->move(kStatusLines.back().left, lastTop);
    setFontSize(last, lastPoints);
    setFontColor(last, lastColor);
    // Each line takes its text's size, in the font it now has.
    for (std::size_t i = 0; i < captions.size(); ++i)
        setCaption(StatusLines[i], qs(captions[i]));
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
        acceptEntries(core::kSpeakerEntries);
        WindowSink sink(*this, [this](Entry e) { return entry(e); });
        core::CheckSpeakerData(Worksheet, sink);
        core::DeriveSpeakerValues(Worksheet);
        showStatusLines(core::speakerCaptions(Worksheet, Env.numberFormat), kLastLineTop, 8, clBlack);
        entry(Entry::AmpBrand)->setFocus();
        // "Calcula" may have left panel 2's "Aceita" hidden: the focus then
        // stays on the amplifier's brand.
        if (!AmplifierAceita->isHidden())
            AmplifierAceita->setFocus();
    });
}

void TForm1::Button2Click()
{
    guarded([this] {
        SpeakerAceita->hide();
        setEntriesReadOnly(core::kSpeakerEntries, true);
        acceptEntries(core::kAmplifierEntries);
        WindowSink sink(*this, [this](Entry e) { return entry(e); });
        core::CheckAmplifierData(Worksheet, sink);
        core::DeriveAmplifierValues(Worksheet);
        showStatusLines(core::amplifierCaptions(Worksheet, Env.numberFormat), kLastLineTopLarge, 10, clRed);
        Calcula->setFocus();
    });
}

void TForm1::Button3Click()
{
    guarded([this] {
        AmplifierAceita->hide();
        setEntriesReadOnly(core::kAmplifierEntries, true);
        if (core::ComputeLimiterSettings(Worksheet)) {
            ShowMessage(QString::fromUtf8(core::kThresholdWarning));
            AmplifierAceita->show();
            QLineEdit* crest = entry(Entry::CrestDb);
            crest->setReadOnly(false);
            setFontColor(crest, clRed);
            crest->setFocus();
        }
        for (const ResultControl& c : kResults) {
            if (c.red)
                setFontColor(resultField(c.key), clRed);
            resultField(c.key)->setText(qs(core::resultFieldText(Worksheet, c.key, Env.numberFormat)));
        }
        for (QLabel* line : StatusLines)
            setCaption(line, QString());
        // Calcula is hidden in the report view: the memo takes the block
        // when it is next shown.
        for (const std::string& line : report::BuildReportBlock(Worksheet, AdjustCount, Env.numberFormat))
            ReportLines << qs(line);
        ++AdjustCount;
        Recalcula->setFocus();
    });
}

void TForm1::Button4Click()
{
    guarded([this] {
        SpeakerAceita->show();
        AmplifierAceita->show();
        for (const EntryControl& c : kEntries) {
            setFontColor(entry(c.key), clGreen);
            entry(c.key)->setText(qs(core::recalcEntryText(Worksheet, c.key, Env.numberFormat)));
            entry(c.key)->setReadOnly(false);
        }
        for (QLineEdit* field : ResultFields)
            field->clear();
        entry(Entry::SpkBrand)->setFocus();
    });
}

void TForm1::Button5Click()
{
    guarded([this] {
        for (const Panel p : {Panel::Speaker, Panel::Amplifier, Panel::Limiter})
            panel(p)->hide();
        Recalcula->hide();
        showReportInMemo();
        Memo1->show();
        Voltar->setGeometry(480, 12, kButtonWidth, Voltar->height());
        Voltar->show();
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
        Recalcula->show();
        showReportInMemo();
        Memo1->selectAll();
        ShowMessage(kCopied);
        close();
    });
}

void TForm1::Button7Click()
{
    guarded([this] {
        for (const Panel p : {Panel::Speaker, Panel::Amplifier, Panel::Limiter})
            panel(p)->show();
        Recalcula->show();
        Memo1->hide();
        Voltar->hide();
        Recalcula->setFocus();
    });
}

}  // namespace ui
