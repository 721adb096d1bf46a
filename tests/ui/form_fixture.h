// A real TForm1 on the offscreen platform, its messages recorded and its
// clipboard kept in memory, its controls found by name.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "ui/tform1.h"

// Failures show texts, not bytes.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace uitest {

class FormTest : public ::testing::Test {
protected:
    void SetUp() override { makeForm(); }

    void makeForm()
    {
        ui::Environment env{{'.'}, {2026, 12, 7}, QStringLiteral("dd/MM/yyyy"), {}, {}};
        env.copyToClipboard = [this](const QString& text) {
            clipboard = text;
            return clipboardWorks;
        };
        form = std::make_unique<ui::TForm1>(std::move(env));
        form->setMessageBox([this](const QString& text) { messages << text; });
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        messages.clear();
    }

    template <typename T> T* find(const char* kind, int n) const
    {
        return form->findChild<T*>(QLatin1String(kind) + QString::number(n));
    }
    QLineEdit* entry(int n) const { return find<QLineEdit>("LabeledEdit", n); }
    QPushButton* button(int n) const { return find<QPushButton>("Button", n); }
    void click(std::initializer_list<int> buttons) const
    {
        for (const int n : buttons)
            QTest::mouseClick(button(n), Qt::LeftButton);
    }
    void click(int n) const { click({n}); }

    // Replaces an entry's text as a user does: select all, erase, then type
    // key by key, one change per character.
    void type(int n, const QString& text) const
    {
        entry(n)->selectAll();
        QTest::keyClick(entry(n), Qt::Key_Backspace);
        for (const char32_t c : text.toUcs4())
            QTest::sendKeyEvent(QTest::Click, entry(n), Qt::Key_unknown, QString::fromUcs4(&c, 1), Qt::NoModifier);
    }

    std::unique_ptr<ui::TForm1> form;
    QStringList messages;
    QString clipboard;
    bool clipboardWorks = true;
};

}  // namespace uitest
