// Thousands of random user actions on the real window: random text into the
// entries a user can reach, clicks on whatever buttons are visible. After
// every action the Worksheet holds finite numbers, the locks are those the
// flow allows, and the report only ever grows by whole numbered blocks.
#include <cmath>
#include <random>

#include <QPlainTextEdit>

#include "form_fixture.h"

namespace {

// Numbers at and beyond the bounds, and texts that are no numbers at all.
const QStringList kTexts{"0", "0.999", "32.01", "4999.996", "1249.999", "0.0004", "49.9996", "127.996", "10000", "14",
    "30", "-1", "1e38", "1e39", "1e-45", "nan", "", "   ", "8,5", "abc", "-", "ção", "\u0663", " 5.00 ", "+2.5E1"};

class RandomActions : public uitest::FormTest, public ::testing::WithParamInterface<unsigned> {
protected:
    std::mt19937 rng{GetParam()};
    bool panel1Open = true, panel2Open = true, crestOpen = true;

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

    void randomAction()
    {
        const int field = 1 + pick(12);
        if (pick(2) == 0 && entry(field)->isVisible() && !entry(field)->isReadOnly()) {
            QString text = kTexts[pick(static_cast<int>(kTexts.size()))];
            for (int i = pick(4) == 0 ? pick(12) : 0; i > 0; --i)  // printable ASCII and accented letters
                text += pick(8) == 0 ? QChar(0x00E0 + pick(32)) : QChar(0x20 + pick(95));
            if (pick(8) == 0)  // very long
                text = QString(1000 + pick(9000), pick(2) == 0 ? QLatin1Char('9') : QLatin1Char('x'));
            return text.size() <= 12 && pick(2) == 0 ? type(field, text) : entry(field)->setText(text);
        }
        const int n = 1 + pick(7);
        const qsizetype before = messages.size();
        if (!button(n)->isVisible())
            return;
        click(n);
        panel1Open = n == 4 || (panel1Open && n != 2);
        panel2Open = n == 4 || (panel2Open && n != 3);
        if (n == 3 || n == 4)
            crestOpen = n == 4 || messages.mid(before).join('|').contains(QStringLiteral("Tensão Saida Limiter >"));
        if (n == 6)  // Sair closed the window: open it again
            form->show();
    }
};

TEST_P(RandomActions, KeepTheWorksheetFiniteTheLocksRightAndTheReportWhole)
{
    QString report = form->reportText();
    int blocks = 0;
    for (int action = 0; action < 5000 && !HasFailure(); ++action) {
        SCOPED_TRACE(action);
        randomAction();
        const core::Worksheet& w = form->worksheet();
        for (const float value : {w.SpkZnom, w.SpkPmax, w.FreqRec, w.FreqDes, w.SpkPavg, w.SpkVavg, w.SpkVpeak,
                 w.SpkPpeak, w.SpkVprog, w.SpkPprog, w.AmpVin, w.AmpZnom, w.AmpPmax, w.CrestDb, w.AmpVmax, w.GainLin,
                 w.GainDb, w.CrestLin, w.CrestMaxDb, w.LimVout, w.LimDbu, w.LimDbv, w.AttackSlow, w.AttackMedium,
                 w.AttackFast, w.ReleaseSlow, w.ReleaseMedium, w.ReleaseFast})
            EXPECT_TRUE(std::isfinite(value));
        EXPECT_EQ(button(1)->isHidden(), !panel1Open);
        EXPECT_EQ(button(2)->isHidden(), !panel2Open && !crestOpen);
        for (int i = 1; i <= 12; ++i)
            EXPECT_EQ(entry(i)->isReadOnly(), i <= 6 ? !panel1Open : !panel2Open && (i < 12 || !crestOpen)) << i;
        const QStringList& lines = form->reportLines();
        EXPECT_EQ(lines.size(), 1 + 41 * (form->adjustCount() - 1));
        if (form->adjustCount() - 1 > blocks) {
            ++blocks;
            EXPECT_EQ(lines[41 * blocks - 39], QStringLiteral(" Ajuste : %1  ").arg(blocks));
            report += lines.mid(41 * blocks - 40).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
        }
    }
    // Earlier blocks never changed, and the memo shows the same report.
    EXPECT_EQ(form->reportText(), report);
    click(5);
    QTest::keyClicks(form->findChild<QPlainTextEdit*>(), QStringLiteral("x"));  // read-only
    EXPECT_EQ(form->findChild<QPlainTextEdit*>()->toPlainText() + '\n',
        report.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_GT(blocks, 0);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomActions, ::testing::Values(1u, 2u, 3u, 20261207u));

}  // namespace
