#include <QDate>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPainter>
#include <QSet>
#include <QTimer>

#include "form_fixture.h"

using uitest::FormTest;

namespace {

const QString kInvalid = QStringLiteral("Valor Incorreto !");
const QString kRefused = QStringLiteral("Valor Não Aceito ! Altere Valor !");
const QString kWarning = QStringLiteral("Tensão Saida Limiter > Tensão Entrada Power ! Altere Valor Fator de Crista !");
const QString kTitle = QStringLiteral("Dados para Quorvane") + QString(36, QLatin1Char(' '));

// Texts, colours, places and sizes at once: the window against an image
// recorded in tests/support. A difference writes the window, the recording
// and their difference (black where they agree) to the temporary folder.
void expectLooksAsRecorded(QWidget* window, const QString& name)
{
    const QString recorded = QStringLiteral(QUORVANE_TEST_SUPPORT_DIR "/window-%1.png").arg(name);
    const QImage actual = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage expected = QImage(recorded).convertToFormat(QImage::Format_RGB32);
    if (actual == expected)
        return;
    QImage difference = actual;  // black where the two agree
    QPainter painter(&difference);
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.drawImage(0, 0, expected);
    painter.end();
    const QString out = QDir::temp().filePath(QStringLiteral("quorvane-window-") + name);
    for (const auto& [image, suffix] :
        {std::pair{actual, "actual"}, {expected, "recorded"}, {difference, "difference"}})
        image.save(out + QLatin1Char('-') + QLatin1String(suffix) + QStringLiteral(".png"));
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
    EXPECT_EQ(form->pos(), QPoint(20, 20));
}

TEST_F(FormTest, TabWalksThePanelsInReadingOrder)
{
    QStringList order;
    for (int i = 0; i < 29; ++i) {
        QTest::keyClick(form->focusWidget(), Qt::Key_Tab);
        order << form->focusWidget()->objectName();
    }
    EXPECT_EQ(order.mid(12).join(' '),
        QStringLiteral("Button2 Edit1 Edit2 Edit3 Edit5 Edit6 Edit7 Edit8 Edit9 Edit10 Edit11 "
                       "Edit12 Button3 Edit4 Button4 Button5 Button6"));
    EXPECT_EQ(order.mid(5, 2).join(' '), QStringLiteral("Button1 LabeledEdit7"));
}

TEST_F(FormTest, TypedTextIsReadKeyByKeyAndBrokenRulesAreSaidInOrder)
{
    type(4, "-5");  // "-" alone is refused, then -5 is stored; an emptied entry keeps it
    type(4, "");
    EXPECT_TRUE(messages.size() == 1 && form->worksheet().SpkPmax == -5.0f);
    for (const auto& [field, text] :
        {std::pair{3, "40"}, {4, "5000"}, {6, "1000"}, {9, "50"}, {10, "128"}, {11, "10000"}, {12, "30"}})
        type(field, QString::fromLatin1(text));
    click({1, 2});
    EXPECT_EQ(messages,
        QStringList(
            {kInvalid, kRefused, kRefused, "Frequencia Desejada MENOR QUE Frequencia Recomendada ! Altere Valor !",
                kRefused, kRefused, kRefused, kRefused}));
    expectLooksAsRecorded(form.get(), QStringLiteral("refused"));
}

TEST_F(FormTest, ThresholdWarningAndItsWayOn)
{
    click(1);
    type(12, "14");
    click({2, 3});
    EXPECT_EQ(messages, QStringList{kWarning});
    EXPECT_FALSE(entry(12)->isReadOnly());
    expectLooksAsRecorded(form.get(), QStringLiteral("warned"));
    type(12, "6");  // changes nothing until panel 2 is accepted again
    click({3, 2, 3});
    EXPECT_EQ(messages, QStringList(2, kWarning));
    EXPECT_EQ(find<QLineEdit>("Edit", 1)->text(), QStringLiteral("    0.346  V"));
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
    click({5, 6});
    EXPECT_FALSE(button(4)->isHidden());  // "Recalcula" is shown again as the report goes
    EXPECT_TRUE(clipboard.startsWith(kTitle + QStringLiteral("07/12/2026\r\n") + block));
    EXPECT_TRUE(clipboard.endsWith(QString(block).replace(" Ajuste : 1  ", " Ajuste : 1000  ")));
    EXPECT_EQ(clipboard.count(QStringLiteral("\r\n")), 1 + 1000 * 41);
    EXPECT_EQ(messages, QStringList{QStringLiteral(" TEXTO COPIADO PARA O CLIPBOARD !")});
    EXPECT_TRUE(!form->isVisible() && form->reportOnClipboard());
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
            EXPECT_EQ(box->palette().color(QPalette::Window), form.palette().color(QPalette::Window));
            EXPECT_EQ(box->buttons().size(), 1);
            seen << box->text();
            box->accept();
        }
    });
    closer.start(20);
    EXPECT_EQ(form.reportTitle(), kTitle + QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    const numtext::DateNames date = ui::Environment::fromSystem().dateNames;  // for patterns with MMM or ddd
    for (const auto& name : {date.shortMonths[0], date.longMonths[11], date.shortDays[0], date.longDays[6]})
        EXPECT_FALSE(name.empty());
    const auto entry = [&](int n) { return form.findChild<QLineEdit*>(QStringLiteral("LabeledEdit%1").arg(n)); };
    entry(3)->setText(QStringLiteral("8.5"));  // the whole text at once: one change
    entry(3)->setText(QStringLiteral("8,125"));
    entry(4)->setText(QStringLiteral("<b>12</b>"));
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    EXPECT_EQ(seen, QStringList({kInvalid, kInvalid, "'<b>12</b>' não é um número válido"}));
    EXPECT_EQ(entry(3)->text(), QStringLiteral("8,13"));  // taken before the failure
    EXPECT_EQ(entry(5)->text(), QStringLiteral("1250"));
    // Every control the focus reaches has a name a screen reader says.
    QStringList names;
    for (const QWidget* widget : form.findChildren<QWidget*>()) {
        if ((widget->focusPolicy() & Qt::TabFocus) != 0)
            names << widget->accessibleName().trimmed();
    }
    EXPECT_FALSE(names.contains(QString()));
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), names.size() - 1);  // but two "Aceita"
}

}  // namespace
