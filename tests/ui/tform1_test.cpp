#include <QDate>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTimer>

#include "form_fixture.h"

using uitest::FormTest;

namespace {

const QString kInvalid = QStringLiteral("Valor Incorreto !");
const QString kRefused = QStringLiteral("Valor Não Aceito ! Altere Valor !");
const QString kTitle = QStringLiteral("Dados para Quorvane") + QString(36, QLatin1Char(' '));

// Texts, colours, places and sizes at once: the window against an image
// recorded in tests/support. A difference writes the window, the recording
// and their difference (red) to the temporary folder.
void expectLooksAsRecorded(QWidget* window, const QString& name)
{
    const QString recorded = QStringLiteral(QUORVANE_TEST_SUPPORT_DIR "/window-%1.png").arg(name);
    const QImage actual = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage expected = QImage(recorded).convertToFormat(QImage::Format_RGB32);
    if (actual == expected)
        return;
    QImage difference = actual;
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x)
            difference.setPixel(
                x, y, expected.valid(x, y) && expected.pixel(x, y) == actual.pixel(x, y) ? ~0u : 0xFFFF0000);
    }
    const QString out = QDir::temp().filePath(QStringLiteral("quorvane-window-") + name);
    actual.save(out + QStringLiteral("-actual.png"));
    expected.save(out + QStringLiteral("-recorded.png"));
    difference.save(out + QStringLiteral("-difference.png"));
    ADD_FAILURE() << name.toStdString() << " differs from " << recorded.toStdString() << ": see " << out.toStdString()
                  << "-{actual,recorded,difference}.png; if the change is meant, copy the actual image over it";
}

TEST_F(FormTest, EachStepLooksAsRecordedAndMovesTheFocus)
{
    const auto after = [this](std::initializer_list<int> buttons, const char* name, const QWidget* focus) {
        click(buttons);
        expectLooksAsRecorded(form.get(), QString::fromLatin1(name));
        EXPECT_EQ(form->focusWidget(), focus) << name;
    };
    after({}, "start", entry(1));
    after({1, 1}, "speaker", button(2));  // the brand gains three spaces a side at each Aceita
    after({2}, "amplifier", button(3));
    after({3}, "calculated", button(4));
    after({5}, "report", button(5));
    after({7}, "calculated", button(4));
    after({4, 4}, "reopened", entry(1));
    type(3, "4");
    type(4, "300");
    after({1}, "recalculated", button(2));
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
}

TEST_F(FormTest, TabWalksThePanelsInReadingOrder)
{
    QStringList order;
    do {
        order << form->focusWidget()->objectName();
        QTest::keyClick(form->focusWidget(), Qt::Key_Tab);
    } while (form->focusWidget() != entry(1) && order.size() < 40);
    EXPECT_EQ(order.join(' '),
        QStringLiteral("LabeledEdit1 LabeledEdit2 LabeledEdit3 LabeledEdit4 LabeledEdit5 LabeledEdit6 Button1 "
                       "LabeledEdit7 LabeledEdit8 LabeledEdit9 LabeledEdit10 LabeledEdit11 LabeledEdit12 Button2 Edit1 "
                       "Edit2 Edit3 Edit5 Edit6 Edit7 Edit8 Edit9 Edit10 Edit11 Edit12 Button3 Edit4 Button4 Button5 "
                       "Button6"));
}

TEST_F(FormTest, TypingIsReadKeyByKey)
{
    // entry, texts typed one after the other, messages, SpkZnom or SpkPmax afterwards
    const std::tuple<int, QStringList, int, float> rows[] = {{3, {"abc"}, 3, 0.0f}, {4, {"-5"}, 1, -5.0f},
        {3, {"4.5"}, 0, 4.5f}, {3, {"  "}, 2, 0.0f}, {4, {"300", ""}, 0, 300.0f}};
    for (const auto& [field, typed, count, stored] : rows) {
        SCOPED_TRACE(typed.join('|').toStdString());
        makeForm();
        for (const QString& text : typed)
            type(field, text);
        EXPECT_EQ(messages, QStringList(count, kInvalid));
        EXPECT_EQ(color(entry(field)) == ui::clRed, count > 0);
        EXPECT_EQ(field == 3 ? form->worksheet().SpkZnom : form->worksheet().SpkPmax, stored);
    }
}

TEST_F(FormTest, BrokenRulesAreSaidInOrderAndMarkTheirEntries)
{
    for (const auto& [field, text] :
        {std::pair{3, "40"}, {4, "5000"}, {6, "1000"}, {9, "50"}, {10, "128"}, {11, "10000"}, {12, "30"}})
        type(field, QString::fromLatin1(text));
    click({1, 2});
    EXPECT_EQ(messages,
        QStringList({kRefused, kRefused, "Frequencia Desejada MENOR QUE Frequencia Recomendada ! Altere Valor !",
            kRefused, kRefused, kRefused, kRefused}));
    expectLooksAsRecorded(form.get(), QStringLiteral("refused"));
}

TEST_F(FormTest, ThresholdWarningAndItsWayOn)
{
    click(1);
    type(12, "14");
    click({2, 3});
    const QString warning =
        QStringLiteral("Tensão Saida Limiter > Tensão Entrada Power ! Altere Valor Fator de Crista !");
    EXPECT_EQ(messages, QStringList{warning});
    EXPECT_FALSE(entry(12)->isReadOnly());
    expectLooksAsRecorded(form.get(), QStringLiteral("warned"));
    type(12, "6");  // changes nothing until panel 2 is accepted again
    click({3, 2, 3});
    EXPECT_EQ(messages, QStringList(2, warning));
    EXPECT_EQ(result(1)->text(), QStringLiteral("    0.346  V"));
}

TEST_F(FormTest, RecalculaRightAfterStartShowsTheEmptyWorksheet)
{
    click(4);
    QStringList texts;
    for (int i = 1; i <= 12; ++i)
        texts << entry(i)->text();
    EXPECT_EQ(texts.join('/'), QStringLiteral("//0.00/0.00/ 0.00/0.00///0.000/0.00/ 0.00/0.00"));
}

TEST_F(FormTest, SairCopiesEveryBlockAndClosesOrLeavesTheWindowAsItWas)
{
    clipboardWorks = false;
    click({5, 6});
    EXPECT_EQ(messages, QStringList{QStringLiteral("Não foi possível copiar o relatório para o clipboard.")});
    EXPECT_TRUE(form->isVisible() && button(4)->isHidden() && !form->reportOnClipboard());

    QFile file(QStringLiteral(QUORVANE_TEST_SUPPORT_DIR "/default_block.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString block = QString::fromUtf8(file.readAll()).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    clipboardWorks = true;
    messages.clear();
    click({7, 1, 2});
    for (int i = 0; i < 1000; ++i)
        click(3);
    click(6);
    EXPECT_TRUE(clipboard.startsWith(kTitle + QStringLiteral("07/12/2026\r\n") + block));
    EXPECT_TRUE(clipboard.endsWith(QString(block).replace(" Ajuste : 1  ", " Ajuste : 1000  ")));
    EXPECT_EQ(clipboard.count(QStringLiteral("\r\n")), 1 + 1000 * 41);
    EXPECT_EQ(messages, QStringList{QStringLiteral(" TEXTO COPIADO PARA O CLIPBOARD !")});
    EXPECT_TRUE(!form->isVisible() && form->reportOnClipboard());
}

TEST_F(FormTest, EveryFocusableControlHasANameAScreenReaderSays)
{
    QStringList names;
    for (const QWidget* widget : form->findChildren<QWidget*>()) {
        if ((widget->focusPolicy() & Qt::TabFocus) != 0)
            names << widget->accessibleName().trimmed();
    }
    EXPECT_FALSE(names.contains(QString()));
    for (int i = 1; i <= 12; ++i)
        EXPECT_EQ(names.count(result(i)->accessibleName()), 1) << i;
}

TEST_F(FormTest, CalculaThatCannotComputeSaysWhyAndKeepsTheReport)
{
    click(3);
    EXPECT_EQ(messages,
        QStringList{QStringLiteral("Não é possível calcular o limiar do limiter: a potência do amplificador é zero.")});
    EXPECT_TRUE(button(2)->isHidden() && entry(9)->isReadOnly());
    EXPECT_EQ(form->reportLines().size(), 1);
    EXPECT_TRUE(result(1)->text().isEmpty());
    click(1);  // with panel 2's Aceita hidden the focus stays on its brand
    EXPECT_EQ(form->focusWidget(), entry(7));
}

// The window as the program makes it: the desktop's locale (the tests run in
// pt_BR: comma decimals, dd/MM/yyyy) and real message boxes, which show what
// the user typed as plain text.
TEST(RealWindow, ReadsTheLocaleAndShowsPlainMessages)
{
    ui::TForm1 form;
    form.show();
    QStringList seen;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            EXPECT_TRUE(box->windowTitle() == "Quorvane" && box->textFormat() == Qt::PlainText);
            EXPECT_EQ(box->buttons().size(), 1);
            seen << box->text();
            box->accept();
        }
    });
    closer.start(20);
    EXPECT_EQ(form.reportTitle(), kTitle + QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    const auto entry = [&](int n) { return form.findChild<QLineEdit*>(QStringLiteral("LabeledEdit%1").arg(n)); };
    entry(3)->setText(QStringLiteral("8.5"));  // the whole text at once: one change
    entry(3)->setText(QStringLiteral("8,125"));
    entry(4)->setText(QStringLiteral("<b>12</b>"));
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    EXPECT_EQ(seen, QStringList({kInvalid, kInvalid, "'<b>12</b>' não é um número válido"}));
    EXPECT_EQ(entry(3)->text(), QStringLiteral("8,13"));  // taken before the failure
    EXPECT_EQ(entry(5)->text(), QStringLiteral("1250"));
}

}  // namespace
