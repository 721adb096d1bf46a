#include <QFontInfo>
#include <QGroupBox>
#include <QMessageBox>
#include <QTimer>

#include "form_fixture.h"

using uitest::FormTest;

namespace {

const QString kInvalid = QStringLiteral("Valor Incorreto !");
const QString kRefused = QStringLiteral("Valor Não Aceito ! Altere Valor !");
const QString kFrequency = QStringLiteral("Frequencia Desejada MENOR QUE Frequencia Recomendada ! Altere Valor !");
const QString kWarning = QStringLiteral("Tensão Saida Limiter > Tensão Entrada Power ! Altere Valor Fator de Crista !");

QStringList texts(const std::vector<QLineEdit*>& edits)
{
    QStringList out;
    for (const QLineEdit* edit : edits)
        out << edit->text();
    return out;
}

TEST_F(FormTest, StartsInTheEntryViewWithTheDefaults)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quorvane V 2.1.0"));
    EXPECT_EQ(form->pos(), QPoint(20, 20));
    EXPECT_TRUE(memo()->isHidden());
    EXPECT_TRUE(button(7)->isHidden());
    EXPECT_EQ(form->reportText(), uitest::kTitle + QStringLiteral("\r\n"));
    EXPECT_EQ(memo()->toPlainText(), uitest::kTitle);
    EXPECT_EQ(form->adjustCount(), 1);
    EXPECT_TRUE(form->worksheet() == core::Worksheet{});
    const QStringList defaults{
        "Tamsorel", "TQ 2005", "8.00", "125", "1250", "2000", "Morvask", "RZ 2005", "0.775", "8", "1000", "6"};
    for (int i = 1; i <= 12; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entry(i)->text(), defaults[i - 1]);
        EXPECT_TRUE(result(i)->text().isEmpty());
        EXPECT_TRUE(result(i)->isReadOnly());
    }
    for (int i = 9; i <= 14; ++i)
        EXPECT_EQ(label(i)->text(), QStringLiteral("0%1").arg(i - 8));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(FormTest, DefaultPassShowsEveryTextColourLockAndFocus)
{
    click(1);
    EXPECT_EQ(texts({entry(1), entry(2), entry(3), entry(4), entry(5), entry(6)}),
        (QStringList{"   Tamsorel   ", "   TQ 2005   ", "8.00", "125.00", "1250.00", "2000.00"}));
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(color(entry(i)), ui::clBlue) << i;
    EXPECT_EQ(label(11)->text(), QStringLiteral("Tensao   (02) Driver : 28.2842712402344"));
    EXPECT_EQ(label(14)->text(), QStringLiteral("Potencia (03) Driver : 200"));
    EXPECT_EQ(form->focusWidget(), button(2));

    click(2);
    EXPECT_TRUE(button(1)->isHidden());
    for (int i = 1; i <= 6; ++i)
        EXPECT_TRUE(entry(i)->isReadOnly()) << i;
    EXPECT_EQ(texts({entry(7), entry(8), entry(9), entry(10), entry(11), entry(12)}),
        (QStringList{"   Morvask   ", "   RZ 2005   ", "0.775", "8.00", "1000.00", "6.00"}));
    EXPECT_EQ(label(9)->text(), QStringLiteral("Tensao Maxima Power  : 89.44"));
    EXPECT_EQ(label(14)->text(), QStringLiteral("Fator Crista Max (dB): 13.01"));
    EXPECT_EQ(label(14)->pos(), QPoint(232, 80));
    EXPECT_EQ(label(14)->font().pointSize(), 10);
    EXPECT_EQ(color(label(14)), ui::clRed);
    EXPECT_EQ(form->focusWidget(), button(3));

    click(3);
    EXPECT_TRUE(button(2)->isHidden());
    for (int i = 7; i <= 12; ++i)
        EXPECT_TRUE(entry(i)->isReadOnly()) << i;
    const QStringList results{"    0.346  V", "   345.769 mV", "    -7.01  dBu", "   -7.01 dBu", "    -9.22  dBV",
        "   -9.22 dBV", "   0.500 ms", "   0.38 ms", "   0.30 ms", "   6.000 ms", "   2.25 ms", "   0.90 ms"};
    for (int i = 1; i <= 12; ++i) {
        EXPECT_EQ(result(i)->text(), results[i - 1]) << i;
        const bool red = i == 2 || i == 4 || i == 6;
        EXPECT_EQ(color(result(i)) == ui::clRed, red) << i;
    }
    for (int i = 9; i <= 14; ++i)
        EXPECT_TRUE(label(i)->text().isEmpty()) << i;
    EXPECT_EQ(reportLines(), 42);
    EXPECT_EQ(form->adjustCount(), 2);
    EXPECT_EQ(form->focusWidget(), button(4));
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
}

TEST_F(FormTest, TypingIsReadKeyByKey)
{
    struct Row {
        const char* name;
        int field;
        QString typed;
        int messages;
        bool red;
        float stored;  // SpkZnom or SpkPmax afterwards
    };
    const Row rows[] = {
        {"three letters, three messages", 3, "abc", 3, true, 0.0f},
        {"minus alone is refused, then the number is stored", 4, "-5", 1, true, -5.0f},
        {"a number", 3, "4.5", 0, false, 4.5f},
        {"blanks only are refused", 3, "  ", 2, true, 0.0f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        makeForm(uitest::testEnvironment());
        messages.clear();
        type(row.field, row.typed);
        EXPECT_EQ(messages.size(), row.messages);
        for (const QString& m : messages)
            EXPECT_EQ(m, kInvalid);
        EXPECT_EQ(color(entry(row.field)) == ui::clRed, row.red);
        const core::Worksheet& ws = form->worksheet();
        EXPECT_EQ(row.field == 3 ? ws.SpkZnom : ws.SpkPmax, row.stored);
    }
}

TEST_F(FormTest, DeletingAFieldKeepsTheLastNumber)
{
    type(4, "300");
    entry(4)->selectAll();
    QTest::keyClick(entry(4), Qt::Key_Delete);
    EXPECT_TRUE(entry(4)->text().isEmpty());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(form->worksheet().SpkPmax, 300.0f);
}

TEST_F(FormTest, RulesAreReportedInOrderAndMarkTheirEntries)
{
    struct Row {
        const char* name;
        std::vector<std::pair<int, QString>> typed;
        int button;
        QStringList expected;
        std::vector<int> red;
        std::vector<int> blue;
    };
    const Row rows[] = {
        {"loudspeaker", {{3, "40"}, {4, "5000"}, {5, "1250"}, {6, "1000"}}, 1, {kRefused, kRefused, kFrequency},
            {3, 4, 6}, {1, 2, 5}},
        {"amplifier", {{9, "50"}, {10, "128"}, {11, "10000"}, {12, "30"}}, 2, {kRefused, kRefused, kRefused, kRefused},
            {9, 10, 11, 12}, {7, 8}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        makeForm(uitest::testEnvironment());
        for (const auto& [field, text] : row.typed)
            type(field, text);
        if (row.button == 2)
            click(1);
        messages.clear();
        click(row.button);
        EXPECT_EQ(messages, row.expected);
        for (int field : row.red)
            EXPECT_EQ(color(entry(field)), ui::clRed) << field;
        for (int field : row.blue)
            EXPECT_EQ(color(entry(field)), ui::clBlue) << field;
    }
}

TEST_F(FormTest, ThresholdWarningAndItsWayOn)
{
    click(1);
    type(12, "14");
    click(2);
    click(3);
    EXPECT_EQ(messages, QStringList{kWarning});
    EXPECT_FALSE(button(2)->isHidden());
    EXPECT_FALSE(entry(12)->isReadOnly());
    EXPECT_TRUE(entry(11)->isReadOnly());
    EXPECT_EQ(color(entry(12)), ui::clRed);
    EXPECT_EQ(result(1)->text(), QStringLiteral("    0.869  V"));
    EXPECT_EQ(result(5)->text(), QStringLiteral("    -1.22  dBV"));
    EXPECT_EQ(form->focusWidget(), button(4));

    // Changing the crest factor alone changes nothing until panel 2 is accepted.
    type(12, "6");
    click(3);
    EXPECT_EQ(messages.size(), 2);
    click(2);
    click(3);
    EXPECT_EQ(messages.size(), 2);
    EXPECT_EQ(result(1)->text(), QStringLiteral("    0.346  V"));
    EXPECT_EQ(reportLines(), 1 + 3 * 41);
}

TEST_F(FormTest, RecalculaReopensThePanelsWithTheWorksheetInGreen)
{
    struct Row {
        const char* name;
        bool pass;
        QStringList texts;
    };
    const Row rows[] = {
        {"after a pass", true,
            {"Tamsorel", "TQ 2005", "8.00", "125.00", "1250.00", "2000.00", "Morvask", "RZ 2005", "0.775", "8.00",
                "1000.00", "6.00"}},
        {"right after start-up", false,
            {"", "", "0.00", "0.00", " 0.00", "0.00", "", "", "0.000", "0.00", " 0.00", "0.00"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        makeForm(uitest::testEnvironment());
        if (row.pass)
            defaultPass();
        click(4);
        for (int i = 1; i <= 12; ++i) {
            EXPECT_EQ(entry(i)->text(), row.texts[i - 1]) << i;
            EXPECT_EQ(color(entry(i)), ui::clGreen) << i;
            EXPECT_FALSE(entry(i)->isReadOnly()) << i;
            EXPECT_TRUE(result(i)->text().isEmpty()) << i;
        }
        EXPECT_FALSE(button(1)->isHidden());
        EXPECT_FALSE(button(2)->isHidden());
        EXPECT_EQ(form->focusWidget(), entry(1));
        EXPECT_TRUE(messages.isEmpty());
    }
}

TEST_F(FormTest, ReportViewAndSairCopyEveryBlock)
{
    for (int pass = 0; pass < 3; ++pass) {
        defaultPass();
        click(4);
    }
    click(5);
    EXPECT_FALSE(memo()->isHidden());
    EXPECT_EQ(memo()->document()->blockCount(), 1 + 3 * 41);
    EXPECT_TRUE(form->findChild<QGroupBox*>(QStringLiteral("GroupBox1"))->isHidden());
    EXPECT_TRUE(button(4)->isHidden());
    EXPECT_EQ(button(7)->geometry(), QRect(480, 12, 75, 25));
    click(5);
    EXPECT_FALSE(memo()->isHidden());
    click(7);
    EXPECT_TRUE(memo()->isHidden());
    EXPECT_EQ(form->focusWidget(), button(4));

    click(6);
    const QStringList lines = clipboard.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 1 + 3 * 41 + 1);
    EXPECT_TRUE(lines.last().isEmpty());  // every line ends with CRLF, the last too
    EXPECT_EQ(lines[0], uitest::kTitle);
    for (int block = 1; block <= 3; ++block)
        EXPECT_EQ(lines[1 + (block - 1) * 41 + 1], QStringLiteral(" Ajuste : %1  ").arg(block));
    EXPECT_EQ(lines[5], QStringLiteral("Marca : Tamsorel     Modelo Falante / Driver : TQ 2005"));
    EXPECT_EQ(clipboard.count(QLatin1Char('\n')), clipboard.count(QStringLiteral("\r\n")));
    EXPECT_EQ(messages, QStringList{QStringLiteral(" TEXTO COPIADO PARA O CLIPBOARD !")});
    EXPECT_FALSE(form->isVisible());
}

TEST_F(FormTest, AThousandBlocksAreAllKeptAndCopied)
{
    click(1);
    click(2);
    for (int i = 0; i < 1000; ++i)
        click(3);
    EXPECT_EQ(reportLines(), 1 + 1000 * 41);
    click(6);
    EXPECT_EQ(clipboard.count(QStringLiteral("\r\n")), 41001);
    EXPECT_TRUE(clipboard.endsWith(QStringLiteral("==== FIM ====\r\n   \r\n")));
    EXPECT_TRUE(clipboard.contains(QStringLiteral("\r\n Ajuste : 1000  \r\n")));
}

TEST_F(FormTest, SairThatCannotCopyLeavesTheWindowAsItWas)
{
    clipboardWorks = false;
    for (const bool reportView : {false, true}) {
        SCOPED_TRACE(reportView ? "report view" : "entry view");
        messages.clear();
        click(reportView ? 5 : 7);
        click(6);
        EXPECT_EQ(messages, QStringList{QStringLiteral("Não foi possível copiar o relatório para o clipboard.")});
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(button(4)->isHidden(), reportView);
        EXPECT_EQ(button(7)->isHidden(), !reportView);
        EXPECT_FALSE(form->reportOnClipboard());
    }
}

TEST_F(FormTest, EveryFocusableControlHasANameAScreenReaderSays)
{
    QStringList resultNames;
    for (const QWidget* widget : form->findChildren<QWidget*>()) {
        if ((widget->focusPolicy() & Qt::TabFocus) != 0) {
            EXPECT_FALSE(widget->accessibleName().trimmed().isEmpty()) << widget->objectName().toStdString();
        }
    }
    for (int i = 1; i <= 12; ++i)
        resultNames << result(i)->accessibleName();
    resultNames.removeDuplicates();
    EXPECT_EQ(resultNames.size(), 12);
}

TEST_F(FormTest, ConversionFailureInAceitaKeepsWhatWasTaken)
{
    entry(5)->clear();
    click(1);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("não é um número válido"))) << messages[0].toStdString();
    EXPECT_EQ(texts({entry(1), entry(3), entry(4), entry(5), entry(6)}),
        (QStringList{"   Tamsorel   ", "8.00", "125.00", "", "2000"}));
    EXPECT_EQ(color(entry(4)), ui::clBlue);
    EXPECT_NE(color(entry(6)), ui::clBlue);
    EXPECT_EQ(label(9)->text(), QStringLiteral("01"));
    EXPECT_EQ(form->worksheet().SpkPmax, 125.0f);
    EXPECT_EQ(form->worksheet().SpkPavg, 0.0f);
}

TEST_F(FormTest, CalculaThatCannotComputeSaysWhyAndKeepsTheReport)
{
    click(3);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Não é possível calcular"))) << messages[0].toStdString();
    EXPECT_TRUE(button(2)->isHidden());
    EXPECT_TRUE(entry(9)->isReadOnly());
    EXPECT_EQ(reportLines(), 1);
    EXPECT_EQ(form->adjustCount(), 1);
    EXPECT_TRUE(result(1)->text().isEmpty());

    // Panel 1's Aceita with panel 2's hidden leaves the focus on its brand.
    messages.clear();
    click(1);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(form->focusWidget(), entry(7));
}

TEST_F(FormTest, CommaLocaleReadsAndWritesCommas)
{
    makeForm(uitest::testEnvironment(','));
    type(3, "8,5");
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(form->worksheet().SpkZnom, 8.5f);
    entry(3)->setText(QStringLiteral("8.5"));  // pasted whole: one change, refused
    EXPECT_EQ(messages, QStringList{kInvalid});
    EXPECT_EQ(form->worksheet().SpkZnom, 8.5f);
    messages.clear();
    type(3, "8,125");
    type(9, "0,775");
    click(1);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    EXPECT_EQ(entry(3)->text(), QStringLiteral("8,13"));
    EXPECT_EQ(entry(4)->text(), QStringLiteral("125,00"));
}

TEST_F(FormTest, CaptionsFitTheirPlaces)
{
    EXPECT_EQ(QFontInfo(form->font()).family(), QStringLiteral("Liberation Sans"));
    type(3, "4");
    type(4, "300");
    click(1);
    const auto inside = [](const QWidget* w) { return w->parentWidget()->rect().contains(w->geometry()); };
    // The right column of panel 4 ends before the buttons.
    for (int i = 9; i <= 14; ++i) {
        EXPECT_TRUE(inside(label(i))) << i;
        const int nextColumn = i % 2 == 1 ? 232 : button(5)->geometry().left();
        EXPECT_LT(label(i)->geometry().right(), nextColumn) << i;
    }
    for (int i = 9; i <= 13; i += 2)
        EXPECT_FALSE(label(i)->geometry().intersects(label(i + 1)->geometry())) << i;
    type(12, "6");
    click(2);
    EXPECT_TRUE(inside(label(14)));
    EXPECT_LT(label(14)->geometry().right(), button(5)->geometry().left());
    // The captions of the entries, side by side, do not run into each other.
    for (int group = 1; group <= 3; ++group) {
        const auto labels = form->findChild<QGroupBox*>(QStringLiteral("GroupBox%1").arg(group))
                                ->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
        for (const QLabel* a : labels) {
            EXPECT_TRUE(inside(a)) << a->text().toStdString();
            for (const QLabel* b : labels) {
                if (a != b) {
                    EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                        << a->text().toStdString() << " / " << b->text().toStdString();
                }
            }
        }
    }
}

TEST(RealMessageBox, ShowsPlainTextCaptionedQuorvaneAndCloses)
{
    ui::Environment env = uitest::testEnvironment();
    ui::TForm1 form(env);
    form.show();
    struct Seen {
        QString text;
        QString title;
        Qt::TextFormat format;
    };
    std::vector<Seen> seen;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen.push_back({box->text(), box->windowTitle(), box->textFormat()});
            EXPECT_EQ(box->buttons().size(), 1);
            box->accept();
        }
    });
    closer.start(20);
    // Markup typed into an entry is quoted as it was typed, never rendered.
    form.findChild<QLineEdit*>(QStringLiteral("LabeledEdit4"))->setText(QStringLiteral("<b>12</b>"));
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].text, kInvalid);
    EXPECT_EQ(seen[1].text, QStringLiteral("'<b>12</b>' não é um número válido"));
    for (const Seen& box : seen) {
        EXPECT_EQ(box.title, QStringLiteral("Quorvane"));
        EXPECT_EQ(box.format, Qt::PlainText);
    }
}

}  // namespace
