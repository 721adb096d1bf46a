// Thousands of random user actions on the real window: random text into the
// entries a user can reach, clicks on whatever buttons are visible. After
// every action the Worksheet holds finite numbers, the locks are those the
// flow allows, and the report only ever grows by whole numbered blocks.
#include <QGroupBox>

#include <algorithm>
#include <cmath>
#include <random>

#include "form_fixture.h"

using uitest::FormTest;

namespace {

constexpr int kActionsPerSeed = 5000;

const std::array<float core::Worksheet::*, 28> kNumbers{&core::Worksheet::SpkZnom, &core::Worksheet::SpkPmax,
    &core::Worksheet::FreqRec, &core::Worksheet::FreqDes, &core::Worksheet::SpkPavg, &core::Worksheet::SpkVavg,
    &core::Worksheet::SpkVpeak, &core::Worksheet::SpkPpeak, &core::Worksheet::SpkVprog, &core::Worksheet::SpkPprog,
    &core::Worksheet::AmpVin, &core::Worksheet::AmpZnom, &core::Worksheet::AmpPmax, &core::Worksheet::CrestDb,
    &core::Worksheet::AmpVmax, &core::Worksheet::GainLin, &core::Worksheet::GainDb, &core::Worksheet::CrestLin,
    &core::Worksheet::CrestMaxDb, &core::Worksheet::LimVout, &core::Worksheet::LimDbu, &core::Worksheet::LimDbv,
    &core::Worksheet::AttackSlow, &core::Worksheet::AttackMedium, &core::Worksheet::AttackFast,
    &core::Worksheet::ReleaseSlow, &core::Worksheet::ReleaseMedium, &core::Worksheet::ReleaseFast};

// Numbers at and beyond every bound, and texts that are no numbers at all.
const QStringList kTexts{"0", "0.999", "1", "8", "32", "32.004", "32.01", "125", "4999.99", "4999.996", "5000", "1250",
    "1249.999", "2000", "0.0004", "0.775", "49.9996", "50", "127.996", "128", "1000", "9999.99", "10000", "6", "13",
    "14", "29.99", "30", "-1", "-0", "1e38", "3.4e38", "1e39", "1e-45", "1e-50", "nan", "inf", "", "   ", "8,5", "abc",
    "-", ".", "1e", "Tamsorel", "ção", "\u0663", "\U0001F50A", " 5.00 ", "+2.5E1"};

class RandomActions : public FormTest, public ::testing::WithParamInterface<unsigned> {
protected:
    std::mt19937 rng{GetParam()};

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

    QString randomText()
    {
        switch (pick(4)) {
        case 0: {  // printable ASCII and some non-ASCII, short
            QString text;
            const int length = pick(12);
            for (int i = 0; i < length; ++i)
                text += pick(8) == 0 ? QChar(0x00E0 + pick(32)) : QChar(0x20 + pick(95));
            return text;
        }
        case 1:  // very long
            return QStringLiteral("9x").mid(pick(2), 1).repeated(1000 + pick(9000));
        default:
            return kTexts[pick(static_cast<int>(kTexts.size()))];
        }
    }

    bool reachable(const QWidget* widget) const { return widget->isVisible() && widget->isEnabled(); }

    void randomAction()
    {
        if (pick(2) == 0) {
            std::vector<int> open;
            for (int i = 1; i <= 12; ++i)
                if (reachable(entry(i)) && !entry(i)->isReadOnly())
                    open.push_back(i);
            if (!open.empty()) {
                const int field = open[static_cast<std::size_t>(pick(static_cast<int>(open.size())))];
                const QString text = randomText();
                if (text.size() <= 12 && pick(2) == 0)
                    type(field, text);  // key by key
                else
                    entry(field)->setText(text);  // pasted whole
                return;
            }
        }
        std::vector<int> visible;
        for (int i = 1; i <= 7; ++i)
            if (reachable(button(i)))
                visible.push_back(i);
        ASSERT_FALSE(visible.empty());
        const int n = visible[static_cast<std::size_t>(pick(static_cast<int>(visible.size())))];
        clickAndFollow(n);
    }

    // Clicks a button and moves the model of the locks as the flow does.
    void clickAndFollow(int n)
    {
        const qsizetype before = messages.size();
        click(n);
        switch (n) {
        case 2:
            panel1Open = false;
            break;
        case 3:
            panel2Open = false;
            crestOpen = messages.mid(before).contains(
                QStringLiteral("Tensão Saida Limiter > Tensão Entrada Power ! Altere Valor Fator de Crista !"));
            break;
        case 4:
            panel1Open = panel2Open = crestOpen = true;
            break;
        case 6:
            // Sair copies the report and closes; show the window again.
            ASSERT_EQ(clipboard, form->reportText());
            ASSERT_FALSE(form->isVisible());
            form->show();
            break;
        default:
            break;
        }
    }

    void checkInvariants()
    {
        const core::Worksheet& ws = form->worksheet();
        ASSERT_TRUE(
            std::all_of(kNumbers.begin(), kNumbers.end(), [&](auto member) { return std::isfinite(ws.*member); }));
        ASSERT_EQ(button(1)->isHidden(), !panel1Open);
        for (int i = 1; i <= 6; ++i)
            ASSERT_EQ(entry(i)->isReadOnly(), !panel1Open) << i;
        ASSERT_EQ(button(2)->isHidden(), !panel2Open && !crestOpen);
        for (int i = 7; i <= 11; ++i)
            ASSERT_EQ(entry(i)->isReadOnly(), !panel2Open) << i;
        ASSERT_EQ(entry(12)->isReadOnly(), !panel2Open && !crestOpen);

        const int blocks = form->adjustCount() - 1;
        ASSERT_EQ(reportLines(), 1 + 41 * blocks);
        if (blocks > knownBlocks) {
            ASSERT_EQ(blocks, knownBlocks + 1);
            const QStringList& lines = form->reportLines();
            ASSERT_EQ(lines[1 + 41 * knownBlocks + 1], QStringLiteral(" Ajuste : %1  ").arg(blocks));
            knownBlocks = blocks;
            for (qsizetype line = 1 + 41 * (blocks - 1); line < 1 + 41 * blocks; ++line)
                report += lines[line] + QStringLiteral("\r\n");
        }
    }

    bool panel1Open = true;
    bool panel2Open = true;
    bool crestOpen = true;
    int knownBlocks = 0;
    QString report;
};

TEST_P(RandomActions, KeepTheWorksheetFiniteTheLocksRightAndTheReportWhole)
{
    report = form->reportText();
    for (int action = 0; action < kActionsPerSeed; ++action) {
        SCOPED_TRACE(action);
        ASSERT_NO_THROW(randomAction());
        if (HasFatalFailure())
            return;
        checkInvariants();
        if (HasFatalFailure())
            return;
    }
    // Earlier blocks never changed: the report is the title and every block
    // as it was when appended, and the memo shows exactly that.
    EXPECT_EQ(form->reportText(), report);
    click(5);
    EXPECT_EQ(memo()->toPlainText() + QStringLiteral("\n"),
        QString(report).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_GT(knownBlocks, 0);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomActions, ::testing::Values(1u, 2u, 3u, 20261207u));

}  // namespace
