// A real TForm1 on the offscreen platform, with its messages recorded and
// its clipboard kept in memory, found control by control by name.
#pragma once

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "ui/tform1.h"

namespace uitest {

inline ui::Environment testEnvironment(char separator = '.')
{
    ui::Environment env;
    env.numberFormat.decimalSeparator = separator;
    env.today = {2026, 12, 7};
    env.shortDatePattern = QStringLiteral("dd/MM/yyyy");
    return env;
}

inline const QString kTitle =
    QStringLiteral("Dados para Quorvane") + QString(36, QLatin1Char(' ')) + QStringLiteral("07/12/2026");

class FormTest : public ::testing::Test {
protected:
    void SetUp() override { makeForm(testEnvironment()); }

    void makeForm(ui::Environment env)
    {
        env.copyToClipboard = [this](const QString& text) {
            clipboard = text;
            return clipboardWorks;
        };
        form = std::make_unique<ui::TForm1>(std::move(env));
        form->setMessageBox([this](const QString& text) { messages << text; });
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    template <typename T> T* control(const QString& name) const
    {
        T* found = form->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QLineEdit* entry(int n) const { return control<QLineEdit>(QStringLiteral("LabeledEdit%1").arg(n)); }
    QLineEdit* result(int n) const { return control<QLineEdit>(QStringLiteral("Edit%1").arg(n)); }
    QLabel* label(int n) const { return control<QLabel>(QStringLiteral("Label%1").arg(n)); }
    QPushButton* button(int n) const { return control<QPushButton>(QStringLiteral("Button%1").arg(n)); }
    QPlainTextEdit* memo() const { return control<QPlainTextEdit>(QStringLiteral("Memo1")); }

    void click(int n) const { QTest::mouseClick(button(n), Qt::LeftButton); }
    // Replaces an entry's text as a user does: select all, then type.
    void type(int n, const QString& text) const
    {
        QLineEdit* edit = entry(n);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        for (const char32_t codePoint : text.toUcs4()) {
            const QString key = QString::fromUcs4(&codePoint, 1);
            if (codePoint < 0x80)
                QTest::keyClick(edit, static_cast<char>(codePoint));
            else  // no key code for it: the text alone, as an input method sends it
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, key, Qt::NoModifier);
        }
    }
    QColor color(const QWidget* widget) const { return ui::TForm1::fontColor(widget); }
    qsizetype reportLines() const { return form->reportLines().size(); }
    void defaultPass() const
    {
        click(1);
        click(2);
        click(3);
    }

    std::unique_ptr<ui::TForm1> form;
    QStringList messages;
    QString clipboard;
    bool clipboardWorks = true;
};

}  // namespace uitest
