#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTextStream>
#include <QTimer>
#include <QTreeView>
#include <cstdio>

#include "gui/browser/find_bar.h"
#include "gui/browser/main_window.h"
#include "gui/common/icons.h"
#include "gui/common/qt_platform.h"
#include "gui/settings/about_window.h"

using orrelin::gui::MainWindow;

namespace {

// Opens FILE, waits until its tree is laid out on screen, prints the time taken and the
// number of nodes, and quits: the window side of the benchmark.
int BenchmarkOpen(MainWindow& window, const QString& path) {
    QElapsedTimer clock;
    clock.start();
    window.show();
    window.openPath(path);
    window.waitForOpen();
    window.treeView().doItemsLayout();
    QApplication::processEvents();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    std::printf("opened %s: %zu nodes in %.3f s\n", path.toLocal8Bit().constData(),
                window.tree().nodeCount(), seconds);
    std::fflush(stdout);
    return window.tree().loaded() ? 0 : 1;
}

// Opens FILE as above, waits for its search index, searches TEXT once, prints the times and
// the number of matches, and quits.
int BenchmarkFind(MainWindow& window, const QString& path, const QString& text) {
    if (const int status = BenchmarkOpen(window, path); status != 0) return status;
    orrelin::gui::FindBar& bar = window.findBar();
    QElapsedTimer clock;
    clock.start();
    if (!bar.indexReady()) {
        QEventLoop loop;
        QObject::connect(&bar, &orrelin::gui::FindBar::indexBuilt, &loop, &QEventLoop::quit);
        loop.exec();
    }
    const double indexed = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    clock.restart();
    bar.field().setText(text);
    bar.searchNow();
    QApplication::processEvents();
    const double searched = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    std::printf("indexed in %.3f s; %zu matches in %.3f s\n", indexed, bar.matchCount(), searched);
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orrelin"));
    QApplication::setApplicationVersion(
        orrelin::gui::AboutWindow::VersionText().section(QLatin1Char(' '), -1));
    QApplication::setDesktopFileName(QStringLiteral("orrelin"));
    QApplication::setWindowIcon(orrelin::gui::ApplicationIcon());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Reads BlackBerry handheld backups (.ipd)."));
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption benchmark(QStringLiteral("benchmark-open"),
                                 QStringLiteral("Open FILE, print the time taken, and quit."));
    parser.addOption(benchmark);
    QCommandLineOption benchmarkFind(
        QStringLiteral("benchmark-find"),
        QStringLiteral("Open FILE, build its search index, search TEXT once, print the times "
                       "taken, and quit."),
        QStringLiteral("TEXT"));
    parser.addOption(benchmarkFind);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The backup to open."));
    parser.process(app);

    orrelin::gui::QtPlatform platform;
    MainWindow window(platform.platform());
    const QStringList files = parser.positionalArguments();
    if (parser.isSet(benchmarkFind)) {
        if (files.isEmpty()) {
            std::fprintf(stderr, "--benchmark-find needs a FILE\n");
            return 2;
        }
        return BenchmarkFind(window, files.first(), parser.value(benchmarkFind));
    }
    if (parser.isSet(benchmark)) {
        if (files.isEmpty()) {
            std::fprintf(stderr, "--benchmark-open needs a FILE\n");
            return 2;
        }
        return BenchmarkOpen(window, files.first());
    }
    window.show();
    if (!files.isEmpty()) window.openPath(files.first());
    return QApplication::exec();
}
