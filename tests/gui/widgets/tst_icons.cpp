#include "testmain.h"

#include <QIcon>
#include <QPixmap>
#include <QTest>

// Every icon the forms and windows name must be compiled in and readable.
class IconsTest : public QObject
{
    Q_OBJECT

private slots:
    void iconLoads_data();
    void iconLoads();
};

void IconsTest::iconLoads_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("minimumSide");
    const QStringList startPageIcons = {
        "application-x-zerosize.png", "folder.png", "svn_switch.png",
    };
    const QStringList icons = {
        "configure.png", "application-exit.png", "document-save.png", "go-last.png",
        "go-previous.png", "edit-delete (2).png", "list-add.png", "edit.png",
        "list-remove.png", "go-up.png", "go-down.png", "network-disconnect.png",
        "network-connect.png", "agt_action_success.png", "agt_action_fail.png",
        "importfromfile.png", "legalmoves.png", "ok.png", "cancel.png", "pmremovepoint.png",
        "narastajace.png", "opadajace.png", "media-playback-pause.png", "media-playback-start.png",
        "edit-copy.png", "view-list-text.png",
    };
    for (const QString &name : startPageIcons)
        QTest::newRow(qPrintable(name)) << name << 128;
    for (const QString &name : icons)
        QTest::newRow(qPrintable(name)) << name << 16;
    // The application's own icon, rendered at build time, in a few of its sizes.
    for (int size : {16, 32, 48, 256}) {
        const QString name = QStringLiteral("telvoro-%1.png").arg(size);
        QTest::newRow(qPrintable(name)) << name << size;
    }
}

void IconsTest::iconLoads()
{
    QFETCH(QString, name);
    QFETCH(int, minimumSide);
    const QString path = QStringLiteral(":/new/prefix1/icons/") + name;

    const QPixmap pixmap(path);
    QVERIFY2(!pixmap.isNull(), qPrintable(path));
    QVERIFY(qMin(pixmap.width(), pixmap.height()) >= minimumSide);

    const QIcon icon(path);
    QVERIFY(!icon.isNull());
    QVERIFY(!icon.pixmap(16, 16).isNull());
}

TELVORO_TEST_MAIN(IconsTest)
#include "tst_icons.moc"
