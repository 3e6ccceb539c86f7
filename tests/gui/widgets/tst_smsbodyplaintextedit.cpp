#include "configuration/fieldtext.h"
#include "testmain.h"
#include "widgets/smsbodyplaintextedit.h"

#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>

namespace {

// Types one character as a keyboard with that letter on a key would.
void typeCharacter(QWidget *widget, const QString &character)
{
    const auto key = Qt::Key(character.toUpper().at(0).unicode());
    QTest::sendKeyEvent(QTest::Click, widget, key, character, Qt::NoModifier);
}

void placeCursorAtEnd(QPlainTextEdit &editor)
{
    editor.moveCursor(QTextCursor::End);
}

} // namespace

class SmsBodyPlainTextEditTest : public QObject
{
    Q_OBJECT

private slots:
    void polishLettersBecomeBaseLetters_data();
    void polishLettersBecomeBaseLetters();
    void typedWord();
    void atLimitOnlyBackspaceAndArrowsPass();
    void oneBelowLimitTakesOneMore();
    void returnNeverAccepted();
    void multiByteCharacterMustFit();
    void pasteIsFiltered();
    void pasteIsCutToFit_data();
    void pasteIsCutToFit();
    void pasteReplacesSelection();
    void dropIsFiltered();
};

void SmsBodyPlainTextEditTest::polishLettersBecomeBaseLetters_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    const QString polish = QStringLiteral("ąĄęĘćĆśŚżŻźŹłŁńŃóÓ");
    const QString base = QStringLiteral("aAeEcCsSzZzZlLnNoO");
    for (int i = 0; i < polish.size(); ++i)
        QTest::newRow(qPrintable(polish.mid(i, 1))) << polish.mid(i, 1) << base.mid(i, 1);
    QTest::newRow("other letter kept") << QStringLiteral("é") << QStringLiteral("é");
}

void SmsBodyPlainTextEditTest::polishLettersBecomeBaseLetters()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    SmsBodyPlainTextEdit editor(nullptr);
    typeCharacter(&editor, typed);
    QCOMPARE(editor.toPlainText(), expected);
}

void SmsBodyPlainTextEditTest::typedWord()
{
    SmsBodyPlainTextEdit editor(nullptr);
    for (const char *letter : {"ż", "ó", "ł", "ć"})
        typeCharacter(&editor, letter);
    QTest::keyClicks(&editor, QStringLiteral(" ok"));
    QCOMPARE(editor.toPlainText(), QStringLiteral("zolc ok"));
}

void SmsBodyPlainTextEditTest::atLimitOnlyBackspaceAndArrowsPass()
{
    SmsBodyPlainTextEdit editor(nullptr);
    editor.resize(200, 200);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    const QString full(140, u'a');
    editor.setPlainText(full);
    placeCursorAtEnd(editor);

    QTest::keyClicks(&editor, QStringLiteral("b "));
    QTest::keyClick(&editor, Qt::Key_Return);
    QTest::keyClick(&editor, Qt::Key_Tab);
    QCOMPARE(editor.toPlainText(), full);

    QTest::keyClick(&editor, Qt::Key_Left);
    QCOMPARE(editor.textCursor().position(), 139);
    QTest::keyClick(&editor, Qt::Key_Delete);
    QCOMPARE(editor.toPlainText(), full);
    QTest::keyClick(&editor, Qt::Key_Right);
    QCOMPARE(editor.textCursor().position(), 140);
    // The text wraps over several lines in this width.
    QTest::keyClick(&editor, Qt::Key_Up);
    QVERIFY(editor.textCursor().position() < 140);
    QTest::keyClick(&editor, Qt::Key_Down);
    QCOMPARE(editor.textCursor().position(), 140);

    QTest::keyClick(&editor, Qt::Key_Backspace);
    QCOMPARE(editor.toPlainText(), QString(139, u'a'));
}

void SmsBodyPlainTextEditTest::oneBelowLimitTakesOneMore()
{
    SmsBodyPlainTextEdit editor(nullptr);
    editor.setPlainText(QString(139, u'a'));
    placeCursorAtEnd(editor);
    QTest::keyClicks(&editor, QStringLiteral("bc"));
    QCOMPARE(editor.toPlainText(), QString(139, u'a') + u'b');
}

void SmsBodyPlainTextEditTest::returnNeverAccepted()
{
    SmsBodyPlainTextEdit editor(nullptr);
    QTest::keyClicks(&editor, QStringLiteral("ab"));
    QTest::keyClick(&editor, Qt::Key_Return);
    QTest::keyClick(&editor, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(&editor, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&editor, QStringLiteral("c"));
    QCOMPARE(editor.toPlainText(), QStringLiteral("abc"));
}

void SmsBodyPlainTextEditTest::multiByteCharacterMustFit()
{
    SmsBodyPlainTextEdit editor(nullptr);
    editor.setPlainText(QString(138, u'a'));
    placeCursorAtEnd(editor);
    typeCharacter(&editor, QStringLiteral("€"));
    QCOMPARE(editor.toPlainText(), QString(138, u'a'));

    editor.setPlainText(QString(137, u'a'));
    placeCursorAtEnd(editor);
    typeCharacter(&editor, QStringLiteral("€"));
    QCOMPARE(editor.toPlainText().toUtf8().size(), 140);
    QTest::keyClicks(&editor, QStringLiteral("b"));
    QCOMPARE(editor.toPlainText(), QString(137, u'a') + QStringLiteral("€"));
}

void SmsBodyPlainTextEditTest::pasteIsFiltered()
{
    SmsBodyPlainTextEdit editor(nullptr);
    QGuiApplication::clipboard()->setText(
            QStringLiteral("Zażółć\ngęślą\r\njaźń\u2029Z\u0307"));
    QTest::keyClick(&editor, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(editor.toPlainText(), QStringLiteral("Zazolc gesla jazn Z"));
}

void SmsBodyPlainTextEditTest::pasteIsCutToFit_data()
{
    QTest::addColumn<int>("present");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("expectedEnd");
    QTest::newRow("ascii") << 130 << QStringLiteral("0123456789ABCDEF") << QStringLiteral("0123456789");
    QTest::newRow("polish counts as ascii") << 136 << QStringLiteral("łódź") << QStringLiteral("lodz");
    QTest::newRow("three-byte characters") << 135 << QStringLiteral("€€€") << QStringLiteral("€");
    QTest::newRow("no split surrogate pair") << 137 << QStringLiteral("😀") << QString();
    // Bytes of a module's text that are not UTF-8 take one byte each.
    QTest::newRow("bytes that are not UTF-8") << 138 << QStringLiteral("\uEFB3\uEFB3\uEFB3")
                                              << QStringLiteral("\uEFB3\uEFB3");
}

void SmsBodyPlainTextEditTest::pasteIsCutToFit()
{
    QFETCH(int, present);
    QFETCH(QString, pasted);
    QFETCH(QString, expectedEnd);
    SmsBodyPlainTextEdit editor(nullptr);
    editor.setPlainText(QString(present, u'a'));
    placeCursorAtEnd(editor);
    QGuiApplication::clipboard()->setText(pasted);
    editor.paste();
    QCOMPARE(editor.toPlainText(), QString(present, u'a') + expectedEnd);
    QVERIFY(fieldTextSize(editor.toPlainText()) <= 140);
}

void SmsBodyPlainTextEditTest::pasteReplacesSelection()
{
    SmsBodyPlainTextEdit editor(nullptr);
    editor.setPlainText(QString(140, u'a'));
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(0);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
    QGuiApplication::clipboard()->setText(QStringLiteral("0123456789"));
    editor.paste();
    QCOMPARE(editor.toPlainText(), QStringLiteral("01234") + QString(135, u'a'));
}

void SmsBodyPlainTextEditTest::dropIsFiltered()
{
    SmsBodyPlainTextEdit editor(nullptr);
    editor.resize(200, 100);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.setPlainText(QString(130, u'a'));

    QMimeData dragged;
    dragged.setText(QStringLiteral("Ósma\nźdźbła trawy"));
    QWidget *viewport = editor.viewport();
    // Below the last line: the text goes at the end.
    const QPointF bottomRight(viewport->width() - 2, viewport->height() - 2);
    QDragEnterEvent enter(bottomRight.toPoint(), Qt::CopyAction, &dragged, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(bottomRight, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &drop);
    QCOMPARE(editor.toPlainText(), QString(130, u'a') + QStringLiteral("Osma zdzbl"));
}

TELVORO_TEST_MAIN(SmsBodyPlainTextEditTest)
#include "tst_smsbodyplaintextedit.moc"
