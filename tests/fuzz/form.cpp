// Fuzz target: a configuration shown in the main window and taken back from
// it, as after opening a file or reading the module, with no edit. Whatever
// the image holds (any bytes, padded or cut to an image's size):
// - the configuration taken from the form gives back every byte of the image
//   (but the header and the bytes after a text's end, RandomImage::keptBytes);
// - the window shows no unsaved change.
#include "configuration/configuration.h"
#include "mainwindow/mainwindow.h"
#include "property.h"
#include "randomimage.h"
#include "settings/applicationsetup.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <cstring>

// fontconfig keeps a few kilobytes of its configuration, allocated at the
// first font lookup, for the life of the process (as tests/lsan-suppressions.txt
// says for the tests).
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so";
}

namespace {
// One window for the whole run, off-screen, with its settings in a folder
// of its own.
QTemporaryDir *settingsFolder;
MainWindow *window;
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    settingsFolder = new QTemporaryDir;
    qputenv("XDG_CONFIG_HOME", settingsFolder->path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", settingsFolder->path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    prepareApplication();
    new QApplication(*argc, *argv);
    window = new MainWindow;
    window->findChild<QAction *>(QStringLiteral("actionNowy"))->trigger();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray image(ConfigurationImageSize, '\0');
    std::memcpy(image.data(), data, std::min(size, std::size_t(ConfigurationImageSize)));
    Configuration stored;
    stored.fromImage(image);

    // Shown as "Cofnij zmiany" shows the reference copy: the whole form is
    // filled from it and then taken back.
    *window->referenceConfiguration = stored;
    window->findChild<QAction *>(QStringLiteral("actionCofnij_zmiany"))->trigger();
    require(window->configuration->toImage(ImageSection::Full) == RandomImage::keptBytes(image),
            "a configuration shown and taken back keeps its bytes");
    require(!window->isWindowModified(), "a configuration shown and taken back counts as unchanged");
    return 0;
}
