// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fakes.h"
#include "anipic/AniGif.h"
#include "anipic/ImageArray.h"
#include "look/Caption.h"
#include "look/WindowLook.h"
#include "platform/Shell.h"
#include "windows/AuxWindows.h"
#include "windows/FormAbout.h"
#include "windows/FormAide.h"
#include "windows/FormManette.h"
#include "windows/FormVersionHistory.h"
#include "windows/Texts.h"

#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMovie>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include "windows/FormInRecor.h"
#include "records/ModuleNom.h"
#include "support/VirtualClock.h"
#include <QTemporaryDir>
#include <QTest>
#include <set>
#include <gtest/gtest.h>

namespace {

// The windows read their pictures from Vorlin107_rsc/ under the current directory.
struct WindowsFixture : ::testing::Test {
    QString before = QDir::currentPath();
    VirtualClock clock;
    AniGif aniGif{clock};
    FakeShell shell;
    QWidget mainWindow;
    FakeJoystick joystick;
    AuxWindows windows{&mainWindow, aniGif, shell, joystick, clock};

    void SetUp() override
    {
        QDir::setCurrent(QStringLiteral(VORLIN_SOURCE_DIR));
        mainWindow.show();
    }
    void TearDown() override { QDir::setCurrent(before); }

    static void activate(QWidget* w)
    {
        w->activateWindow();
        QApplication::processEvents();
    }
};

} // namespace

// The help text is shown as stored: tabs, blanks and empty lines included.
TEST(Texts, HelpTextLineByLine)
{
    const QStringList lines = texts::helpText().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 33);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "\tPour Jouer à Vorlin il vous faut");
    EXPECT_EQ(lines[2], "\tsimplement de bons  reflexes et");
    EXPECT_EQ(lines[4], "\t");
    EXPECT_EQ(lines[5], "  Mode 1 joueur");
    EXPECT_EQ(lines[15], "\trien toucher , mais cette fois ");
    EXPECT_EQ(lines[19], QString(16, ' ') + "reste en piste le dernier.");
    EXPECT_EQ(lines[20], "");
    EXPECT_EQ(lines[21], "\t");
    EXPECT_EQ(lines[22], "  Clavier Vorlin Noir :\t");
    EXPECT_EQ(lines[23], "\t\tGauche\t=\tQ");
    EXPECT_EQ(lines[26], "\t\tBas\t=\tW");
    EXPECT_EQ(lines[27], "  Clavier Vorlin Rouge :");
    EXPECT_EQ(lines[28], "\t\tGauche\t=\t<-");
    EXPECT_EQ(lines[30], "\t\tHaut\t=\t^");
    EXPECT_EQ(lines[31], "\t\tBas\t=\tV");
    EXPECT_EQ(lines[32], "");
}

TEST(Texts, VersionHistoryShape)
{
    const QString all = texts::versionHistory();
    const QStringList lines = all.split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.size(), 82);
    EXPECT_GE(all.size(), 5000);
    EXPECT_EQ(lines.first(), "");
    EXPECT_EQ(lines.last(), "");
    for (int i = 1; i + 1 < lines.size(); ++i)
        EXPECT_TRUE(lines[i].startsWith('\'')) << i;
    for (const char* v : {"1.00", "1.01", "1.02", "1.03", "1.04", "1.05", "1.06", "1.07"})
        EXPECT_TRUE(all.contains(QStringLiteral("V ") + v)) << v;
}

// "Aide" and F1 only make the one Help window visible.
TEST_F(WindowsFixture, OneHelpWindow)
{
    windows.showHelp();
    FormAide* first = windows.help;
    windows.showHelp();
    EXPECT_EQ(windows.help.data(), first);
    EXPECT_EQ(first->windowTitle(), "Aide de VORLIN");
    EXPECT_EQ(first->size(), QSize(215, 468));
    EXPECT_EQ(first->windowHandle()->transientParent(), mainWindow.windowHandle()) << "Help has no owner";
    windows.showPadSettings();
    EXPECT_EQ(windows.pads->windowHandle()->transientParent(), mainWindow.windowHandle()) << "the pad window has no owner";
    EXPECT_EQ(first->TextAide->toPlainText().split('\n').size(), 33);
    activate(first);
    EXPECT_GT(first->AnimatedGIF1->count(), 1) << "activation loaded the animation";
    EXPECT_GT(aniGif.TimerAniGif->interval(), 0);
}

// Returning from the version history does not reload the animation; a later activation does.
TEST_F(WindowsFixture, AboutActivationsAndTheVersionHistory)
{
    mainWindow.setEnabled(false);
    windows.showAbout();
    FormAbout* about = windows.about;
    activate(about);
    ASSERT_GT(about->AnimatedGIF->count(), 1);
    clock.advance(2000);
    const int frameBefore = aniGif.FrameCount;
    QLabel* element1 = about->AnimatedGIF->element(1);

    about->Frame1_Click();
    EXPECT_EQ(about->FlagVH, 1);
    ASSERT_TRUE(windows.history);
    activate(windows.history);
    windows.history->close();
    activate(about);
    EXPECT_EQ(about->FlagVH, 0);
    EXPECT_EQ(about->AnimatedGIF->element(1), element1) << "not rebuilt";
    EXPECT_EQ(aniGif.FrameCount, frameBefore) << "counters not reset";

    windows.showHelp();
    activate(windows.help);
    activate(about);
    EXPECT_NE(about->AnimatedGIF->element(1), element1) << "a later activation reloads";
}

// The mail link leaves the game minimized and usable, with About closed.
TEST_F(WindowsFixture, MailLinkMinimizesTheGameAndClosesAbout)
{
    mainWindow.setEnabled(false);
    windows.showAbout();
    windows.about->Label3_lienWeb_Click();
    EXPECT_TRUE(windows.about) << "the web link leaves About open";
    windows.about->Labelmail_Click();
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(windows.about);
    EXPECT_TRUE(mainWindow.isMinimized());
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(shell.opened, (QStringList{FormAbout::kWebAddress, "mailto:" + FormAbout::kMailAddress + "?Subject=Vorlin Windows"}));
}

// Both windows share one timer: closing Help stops About's animation too.
TEST_F(WindowsFixture, ClosingHelpStopsBothAnimations)
{
    windows.showAbout();
    activate(windows.about);
    windows.showHelp();
    activate(windows.help);
    ASSERT_GT(aniGif.TimerAniGif->interval(), 0);
    windows.help->close();
    EXPECT_EQ(aniGif.TimerAniGif->interval(), 0);
    clock.advance(5000); // ticking with one window gone must stay in bounds
}

// Without its cursor file About opens as usual, with the up arrow over the top area.
TEST_F(WindowsFixture, AboutWithoutItsResources)
{
    QTemporaryDir empty;
    QDir::setCurrent(empty.path());
    windows.showAbout();
    activate(windows.about);
    EXPECT_TRUE(windows.about->isVisible());
    EXPECT_EQ(windows.about->Frame1->cursor().shape(), Qt::UpArrowCursor);
    EXPECT_EQ(windows.about->AnimatedGIF->count(), 1);
    EXPECT_FALSE(windows.about->Image1->pixmap().isNull()) << "the icon is built in";
}

TEST_F(WindowsFixture, AboutLayout)
{
    windows.showAbout();
    FormAbout* a = windows.about;
    EXPECT_EQ(a->windowTitle(), "A propos de VORLIN ...");
    EXPECT_EQ(a->size(), QSize(291, 278));
    EXPECT_EQ(a->Frame1->geometry(), QRect(8, 0, 273, 89));
    EXPECT_EQ(a->Label1->text(), "VORLIN V 1.06");
    EXPECT_EQ(a->Labelmail->toolTip(), "Envoyer courrier");
    EXPECT_TRUE(a->Label3_lienWeb->toolTip().startsWith("Visiter site "));
    EXPECT_EQ(a->Label3_lienWeb->cursor().hotSpot(), QPoint(5, 0));
    windows.showVersionHistory();
    EXPECT_EQ(windows.history->windowTitle(), "Vorlin QJ Version History");
    EXPECT_EQ(windows.history->size(), QSize(546, 160));
}

// Each fixed text fits its box as designed: no line wraps, no scroll bar the design lacks, and
// the key lines of the help stand in columns. Run at scale factors 1 and 2.
TEST_F(WindowsFixture, FixedTextsFitTheirBoxes)
{
    auto wrappedLines = [](QPlainTextEdit* t) {
        QStringList wrapped;
        for (QTextBlock b = t->document()->begin(); b.isValid(); b = b.next())
            if (b.layout()->lineCount() > 1)
                wrapped << b.text();
        return wrapped;
    };
    windows.showHelp();
    windows.showAbout();
    windows.showVersionHistory();
    QApplication::processEvents();
    QPlainTextEdit* help = windows.help->TextAide;
    EXPECT_EQ(wrappedLines(help), QStringList());
    const QTextBlock lastKeyLine = help->document()->findBlockByNumber(31);
    EXPECT_LE(help->cursorRect(QTextCursor(lastKeyLine)).bottom(), help->viewport()->height())
        << "the last key line is hidden";
    EXPECT_FALSE(help->verticalScrollBar()->isVisible());
    EXPECT_EQ(wrappedLines(windows.history->Text1), QStringList());

    std::set<int> equalsColumn, keyColumn;
    for (QTextBlock b = help->document()->begin(); b.isValid(); b = b.next()) {
        const int eq = b.text().indexOf('=');
        if (!b.text().startsWith(QStringLiteral("\t\t")) || eq < 0)
            continue;
        equalsColumn.insert(qRound(b.layout()->lineAt(0).cursorToX(eq)));
        keyColumn.insert(qRound(b.layout()->lineAt(0).cursorToX(eq + 2)));
    }
    EXPECT_EQ(equalsColumn.size(), 1u);
    EXPECT_EQ(keyColumn.size(), 1u);

    for (QLabel* l : {windows.about->Label2, windows.about->lblDisclaimer})
        EXPECT_LE(l->heightForWidth(l->width()), l->height()) << l->text().toStdString();
    // Every number stays on the line of its unit: "100 %" and "1 K" are never split.
    EXPECT_FALSE(windows.about->Label2->text().contains(QRegularExpression(QStringLiteral("\\d [%K]"))));
    EXPECT_TRUE(windows.about->Label2->text().contains(QStringLiteral("1\u00A0K")));

    ModuleNom rec;
    FormInRecor record(rec, nullptr, {});
    EXPECT_LE(record.Label1->fontMetrics().horizontalAdvance(record.Label1->text()), record.Label1->width());
    EXPECT_EQ(record.Label1->font().pointSizeF(), 8.0) << "the caption fits at the design size";
}

// Without the resource folder each picture box shows its built-in design-time picture, About's
// animated at 50 x 50, Help's at 36 x 36; with the folder, the loaded animation replaces it.
TEST_F(WindowsFixture, DesignPicturesUntilALoadReplacesThem)
{
    QTemporaryDir empty;
    QDir::setCurrent(empty.path());
    windows.showAbout();
    activate(windows.about);
    windows.showHelp();
    activate(windows.help);
    const std::pair<ImageArray*, QSize> boxes[] = {{windows.about->AnimatedGIF, QSize(50, 50)},
                                                    {windows.help->AnimatedGIF1, QSize(36, 36)}};
    for (const auto& [array, size] : boxes) {
        const QMovie* shown = array->element(0)->movie();
        ASSERT_NE(shown, nullptr) << "an empty picture box";
        EXPECT_GT(shown->frameCount(), 1);
        EXPECT_EQ(shown->currentPixmap().size(), size);
        EXPECT_EQ(shown->state(), QMovie::Running);
    }

    QDir::setCurrent(QStringLiteral(VORLIN_SOURCE_DIR));
    activate(windows.about);
    EXPECT_EQ(windows.about->AnimatedGIF->element(0)->movie(), nullptr);
    EXPECT_FALSE(windows.about->AnimatedGIF->picture(0).isNull());
    EXPECT_EQ(windows.about->designPicture->state(), QMovie::NotRunning) << "no timer left for it";
}

// A fixed window keeps its size whoever asks for more: Qt's own frame sets the maximised
// state on the window (a click that ended the Wayland connection), a window manager reports
// it, a program asks for full screen. Each fixed window refuses them all and names no box but
// its close box.
TEST_F(WindowsFixture, FixedWindowsAreNeverMaximised)
{
    ModuleNom records{QStringLiteral("   "), 40, 35};
    QPointer<FormInRecor> record = new FormInRecor(records, &mainWindow, [] {});
    look::bringForward(record, &mainWindow);
    windows.showHelp();
    windows.showAbout();
    windows.showVersionHistory();
    for (QWidget* w : {static_cast<QWidget*>(record), static_cast<QWidget*>(windows.help),
                       static_cast<QWidget*>(windows.about), static_cast<QWidget*>(windows.history)}) {
        const QSize size = w->size();
        w->windowHandle()->setWindowStates(Qt::WindowMaximized);
        QApplication::processEvents();
        EXPECT_FALSE(w->isMaximized()) << qPrintable(w->windowTitle());
        w->showFullScreen();
        QApplication::processEvents();
        EXPECT_FALSE(w->isFullScreen()) << qPrintable(w->windowTitle());
        EXPECT_EQ(w->size(), size) << qPrintable(w->windowTitle());
        EXPECT_FALSE(w->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    }
    delete record.data();
}

// Where the game draws a fixed window's caption, the caption and a 1-pixel edge go around the
// client area, which keeps the design's size to the pixel; the history's caption shows the
// program's icon; a right click on the caption and Alt+Space open the window menu.
TEST_F(WindowsFixture, DrawnCaptionsGoAroundTheClientArea)
{
    QPixmap icon(32, 32);
    icon.fill(Qt::magenta);
    mainWindow.setWindowIcon(icon);
    windows.showHelp();
    windows.showVersionHistory();
    const struct { QWidget* window; int caption; } framed[] = {{windows.help, 15}, {windows.history, 18}};
    for (const auto& [w, caption] : framed) {
        const QSize client = w->size();
        QWidget* first = w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).first();
        const QPoint firstAt = first->pos();
        look::addCaption(w);
        EXPECT_EQ(w->size(), client + QSize(2, caption + 2)) << qPrintable(w->windowTitle());
        EXPECT_EQ(first->pos(), firstAt + QPoint(1, caption + 1));
        auto* band = w->findChild<QWidget*>(QStringLiteral("caption"));
        ASSERT_TRUE(band);
        EXPECT_EQ(band->geometry(), QRect(1, 1, client.width(), caption));
    }
    auto* band = windows.history->findChild<QWidget*>(QStringLiteral("caption"));
    EXPECT_EQ(band->grab().toImage().pixelColor(9, 9), QColor(Qt::magenta)) << "no icon in the history's caption";

    QTest::mouseClick(band, Qt::RightButton, {}, QPoint(100, 9));
    auto* menu = windows.history->findChild<QMenu*>(QStringLiteral("windowMenu"));
    ASSERT_TRUE(menu && menu->isVisible()) << "no window menu on a right click";
    QStringList items;
    for (QAction* a : menu->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(items, (QStringList{"&Déplacer", "-", "&Fermer\tAlt+F4"}));
    menu->hide();
    activate(windows.help);
    QTest::keyClick(windows.help->TextAide, Qt::Key_Space, Qt::AltModifier);
    menu = windows.help->findChild<QMenu*>(QStringLiteral("windowMenu"));
    ASSERT_TRUE(menu && menu->isVisible()) << "no window menu on Alt+Space";
    menu->actions().last()->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(windows.help) << "Fermer closes the window";
}

// A second start brings the window back from the task bar, in front and active; a token
// the window system cannot use is not left behind for a later request.
TEST_F(WindowsFixture, BringToFrontRestoresAndActivates)
{
    mainWindow.showMinimized();
    QApplication::processEvents();
    look::bringToFront(mainWindow, QByteArrayLiteral("launcher-token"));
    QApplication::processEvents();
    EXPECT_TRUE(mainWindow.isVisible());
    EXPECT_FALSE(mainWindow.isMinimized());
    EXPECT_TRUE(mainWindow.isActiveWindow());
    EXPECT_FALSE(qEnvironmentVariableIsSet("XDG_ACTIVATION_TOKEN"));
}
