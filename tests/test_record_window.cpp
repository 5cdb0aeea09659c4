// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/Cp1252.h"
#include "windows/FormInRecor.h"
#include "records/ModuleNom.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct RecordWindowFixture : ::testing::Test {
    QWidget main;
    ModuleNom rec{QStringLiteral("   "), 40, 35};
    int rearms = 0;
    QPointer<FormInRecor> w = new FormInRecor(rec, &main, [this] { ++rearms; });

    void SetUp() override
    {
        main.setEnabled(false);
        w->show();
    }
    void TearDown() override { delete w.data(); }
    void type(const QString& s)
    {
        for (QChar c : s)
            QTest::keyClick(w->Text1, c.toLatin1() ? c.toLatin1() : 'a', Qt::NoModifier);
    }
};

} // namespace

TEST_F(RecordWindowFixture, Layout)
{
    EXPECT_EQ(w->windowTitle(), "      Vorlin    RECORD !");
    EXPECT_EQ(w->size(), QSize(153, 74));
    EXPECT_EQ(w->Label1->text(), "Entrée vos initiales:");
    EXPECT_EQ(w->Text1->geometry(), QRect(112, 16, 33, 19));
    EXPECT_EQ(w->Command1->text(), "OK");
    EXPECT_EQ(w->Text1->maxLength(), 3);
}

// The first initial is upper-cased, the others keep their case; OK pads with blanks.
TEST_F(RecordWindowFixture, TypingAndOk)
{
    QTest::keyClicks(w->Text1, "xy");
    EXPECT_EQ(w->Text1->text(), "Xy");
    w->Command1->click();
    EXPECT_EQ(rec.nom, "Xy ");
    EXPECT_EQ(rec.record, 40);
    EXPECT_TRUE(main.isEnabled());
    EXPECT_EQ(rearms, 1);
}

TEST_F(RecordWindowFixture, TheKeyPressRule)
{
    QTest::keyClicks(w->Text1, "abcd");
    EXPECT_EQ(w->Text1->text(), "Abc") << "three characters at most";
    w->Text1->clear();
    QTest::keyClicks(w->Text1, "1 ");
    QTest::keyClick(w->Text1, Qt::Key_Backspace);
    EXPECT_EQ(w->Text1->text(), "???") << "digits, blanks and Backspace type ?";
    // "¡" and "½" up-cased would be 0x81 and 0x9D, which no settings file may hold.
    for (auto [code, want] : {std::pair{233, 201}, std::pair{int('{'), int('[')}, std::pair{int('a'), int('A')},
                              std::pair{0xA1, int('?')}, std::pair{0xBD, int('?')}}) {
        w->Text1->clear();
        int k = code;
        w->Text1_KeyPress(k);
        EXPECT_EQ(k, want);
    }
    // Pasting would pass by the rule: it does nothing.
    w->Text1->clear();
    QApplication::clipboard()->setText("12");
    QTest::keyClick(w->Text1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w->Text1->text(), "");

    w->Text1->setText("A");
    int k = 'b';
    w->Text1_KeyPress(k);
    EXPECT_EQ(k, 'b');
    // A character outside Windows-1252 counts as "?".
    EXPECT_EQ(cp1252::fromChar(QChar(0x3A9)), '?');
    EXPECT_EQ(cp1252::fromChar(QChar(0x20AC)), 0x80);
}

// An empty OK stores three blanks; closing the window by its close box acts as OK.
TEST_F(RecordWindowFixture, EmptyOkAndCloseBox)
{
    w->close();
    EXPECT_EQ(rec.nom, "   ");
    EXPECT_EQ(rec.record, 40);
    EXPECT_TRUE(main.isEnabled());
    EXPECT_EQ(rearms, 1);
}
