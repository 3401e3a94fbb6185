// Start-up: from starting the process to its first window on the screen, for saltire and for a bare Qt
// Widgets window, in turns, in the same run (offscreen). Also timed: the bare window with one line of text,
// and a window with saltire's widgets at start made of plain Qt widgets under one style sheet. saltire
// runs with the GigE Vision producer alone in its producers' folder and no camera on the network (its
// discovery searches loopback only), as on a line PC before the cameras are plugged in. Its window counts
// as shown when its log says so; the bare window prints a line. Also timed: saltire without its style sheets
// and images, which shows what its looks cost. Also printed: when saltire's discovery ended, which must come
// after the window.
// Not a test.
//
//   bench_startup [runs]   (7 by default; the median of each is compared)

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// saltire's main window at start, of plain widgets: title bar, selectors, empty page, buttons.
void AddPlainWidgets(QApplication& app, QWidget& window)
{
    app.setStyleSheet(QStringLiteral(
        "QPushButton{background:#FFFFFF;border:1px solid #C4C4C4;border-radius:2px;font-size:14px;color:#52535E;}"
        "QPushButton:hover{color:#FF7500;} QLabel{font-size:14px;color:#52535E;}"
        "QComboBox{border:1px solid #C4C4C4;font-size:14px;} #title{background:#2C3239;}"
        "#title QPushButton{background:transparent;border:none;color:#C4C4C4;}"));
    auto* pLayout = new QVBoxLayout(&window);
    auto* pTitle = new QWidget;
    pTitle->setObjectName(QStringLiteral("title"));
    auto* pTitleRow = new QHBoxLayout(pTitle);
    pTitleRow->addWidget(new QLabel(QStringLiteral("Gantry")));
    for (const char* szText : {"File", "Help", "", "_", "[]", "X"}) {
        if (*szText)
            pTitleRow->addWidget(new QPushButton(QString::fromLatin1(szText)));
        else
            pTitleRow->addStretch();
    }
    pLayout->addWidget(pTitle);
    auto* pTop = new QHBoxLayout;
    pLayout->addLayout(pTop);
    pTop->addWidget(new QLabel(QStringLiteral("Select Device")));
    pTop->addWidget(new QComboBox);
    pTop->addWidget(new QLabel(QStringLiteral("User Level")));
    auto* pLevel = new QComboBox;
    pLevel->addItems({QStringLiteral("Recommended"), QStringLiteral("Guru")});
    pTop->addWidget(pLevel);
    pTop->addStretch();
    pTop->addWidget(new QPushButton(QStringLiteral("Enabled Event List")));
    auto* pStack = new QStackedWidget;
    auto* pPage = new QWidget;
    auto* pPageLayout = new QVBoxLayout(pPage);
    pPageLayout->addStretch();
    pPageLayout->addWidget(new QLabel(QStringLiteral("No data.")), 0, Qt::AlignCenter);
    pPageLayout->addStretch();
    pStack->addWidget(pPage);
    pLayout->addWidget(pStack, 1);
    auto* pBottom = new QHBoxLayout;
    pLayout->addLayout(pBottom);
    pBottom->addStretch();
    for (const char* szText : {"Check All", "Cancel All", "Apply", "Event Monitor"})
        pBottom->addWidget(new QPushButton(QString::fromLatin1(szText)));
}

// The bare window: prints "shown" once it is exposed, then leaves. "--bare-text" shows one line of text:
// the fonts are then looked up (fontconfig) as in any window with text. "--plain" adds plain widgets.
int BareWindow(int argc, char* argv[], const QByteArray& mode)
{
    QApplication app(argc, argv);
    QWidget window;
    if (mode == "--bare-text")
        new QLabel(QStringLiteral("Select Device"), &window);
    else if (mode == "--plain")
        AddPlainWidgets(app, window);
    window.resize(1000, 700);
    window.show();
    struct Watch : QObject {
        bool eventFilter(QObject* o, QEvent* e) override
        {
            if (e->type() == QEvent::Expose && static_cast<QWindow*>(o)->isExposed()) {
                std::printf("shown\n");
                std::fflush(stdout);
                QCoreApplication::quit();
            }
            return false;
        }
    } watch;
    if (window.windowHandle()->isExposed()) {
        std::printf("shown\n");
        return 0;
    }
    window.windowHandle()->installEventFilter(&watch);
    return app.exec();
}

struct RunResult
{
    double shownMs = -1; // until the log says the window is shown
    double foundMs = -1; // until the log says the discovery has ended
};

// Starts saltire with its own user folder and reads its log as it is written until both lines come.
RunResult RunTool(const QString& executable, QProcessEnvironment env, const QString& user)
{
    env.insert("KESTREL_USER_DATA_DIR", user);
    QProcess p;
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    p.start(executable, QStringList());
    RunResult result;
    while ((result.shownMs < 0 || result.foundMs < 0) && clock.elapsed() < 20000) {
        QFile log(user + "/Log/Saltire.log");
        if (log.open(QIODevice::ReadOnly)) {
            const QByteArray text = log.readAll();
            if (result.shownMs < 0 && text.contains("Main window shown"))
                result.shownMs = clock.nsecsElapsed() / 1e6;
            if (result.foundMs < 0 && text.contains("Found 0 device(s)"))
                result.foundMs = clock.nsecsElapsed() / 1e6;
        }
        QThread::usleep(500);
    }
    p.terminate();
    if (!p.waitForFinished(5000))
        p.kill();
    return result;
}

// saltire without its looks: a copy of the program beside its log and translation folders but without its two
// resource files (style sheets, images, logos, the About box's texts), which it tolerates. Returns the copy,
// or an empty text.
QString CopyWithoutLooks(const QString& folder)
{
    const QFileInfo program(SALTIRE_EXECUTABLE);
    const QString target = folder + "/" + program.fileName();
    if (!QDir().mkpath(folder) || !QFile::copy(program.filePath(), target))
        return QString();
    for (const char* szSub : {"log4qt", "translation"}) {
        const QDir from(program.path() + "/" + szSub);
        QDir().mkpath(folder + "/" + szSub);
        for (const QString& name : from.entryList(QDir::Files))
            if (!QFile::copy(from.filePath(name), folder + "/" + szSub + "/" + name))
                return QString();
    }
    return target;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && QByteArray(argv[1]).startsWith("--"))
        return BareWindow(argc, argv, QByteArray(argv[1]));
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;

    // The installed layout in small: the GigE Vision producer alone in the producers' folder.
    QTemporaryDir root;
    const QString producers = root.filePath("common/Kestrel/Runtime/Linux64_x64");
    QDir().mkpath(producers);
    if (!QFile::copy(SALTIRE_DOVIGIGE_CTI, producers + "/DoVIGigE.cti")) {
        std::fprintf(stderr, "DoVIGigE.cti cannot be copied\n");
        return 1;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("DOVI_GIGE_INTERFACES", "lo"); // our runs never search beyond this machine
    env.insert("KESTREL_COMMON_FILES_DIR", root.filePath("common"));
    env.insert("KESTREL_CONFIG_DIR", root.filePath("config"));
    env.insert("KESTREL_PROGRAM_DATA_DIR", root.filePath("programdata"));
    env.remove("GENICAM_GENTL64_PATH");

    const QString noLooksTool = CopyWithoutLooks(root.filePath("nolooks/bin"));
    if (noLooksTool.isEmpty()) {
        std::fprintf(stderr, "saltire cannot be copied without its looks\n");
        return 1;
    }
    std::vector<double> bare, bareText, plain, tool, discovery, noLooks;
    for (int run = 0; run < runs; ++run) {
        for (const char* szMode : {"--bare", "--bare-text", "--plain"}) {
            QProcess p;
            p.setProcessEnvironment(env);
            QElapsedTimer clock;
            clock.start();
            p.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(szMode)});
            QByteArray out;
            while (!out.contains("shown") && p.waitForReadyRead(10000))
                out += p.readAllStandardOutput();
            (qstrcmp(szMode, "--bare") == 0 ? bare : qstrcmp(szMode, "--plain") == 0 ? plain : bareText)
                .push_back(clock.nsecsElapsed() / 1e6);
            p.waitForFinished(10000);
        }
        const RunResult full = RunTool(SALTIRE_EXECUTABLE, env, root.filePath(QString("user%1").arg(run)));
        tool.push_back(full.shownMs);
        discovery.push_back(full.foundMs);
        noLooks.push_back(RunTool(noLooksTool, env, root.filePath(QString("plain%1").arg(run))).shownMs);
    }
    int nDiscoveryFirst = 0;
    for (size_t i = 0; i < tool.size(); ++i)
        nDiscoveryFirst += discovery[i] >= 0 && discovery[i] < tool[i];
    const double bareMs = Median(bare), toolMs = Median(tool), discoveryMs = Median(discovery);
    std::printf("bare Qt Widgets window, start to shown     %8.1f ms (median of %d)\n", bareMs, runs);
    const double bareTextMs = Median(bareText);
    std::printf("the same with one line of text             %8.1f ms (fonts looked up)\n", bareTextMs);
    const double plainMs = Median(plain);
    std::printf("saltire's widgets at start, plain Qt ones  %8.1f ms = %.2fx the bare window\n", plainMs,
                bareMs > 0 ? plainMs / bareMs : 0);
    std::printf("saltire, start to its window shown         %8.1f ms = %.2fx the bare window (target: at most 1.5x), "
                "%.2fx the window with text\n",
                toolMs, bareMs > 0 ? toolMs / bareMs : 0, bareTextMs > 0 ? toolMs / bareTextMs : 0);
    const double noLooksMs = Median(noLooks);
    if (noLooksMs < 0)
        std::printf("saltire without its style sheets and images: its window was not shown within 20 s\n");
    else
        std::printf("saltire without its style sheets and images %7.1f ms = %.2fx the bare window\n", noLooksMs,
                    bareMs > 0 ? noLooksMs / bareMs : 0);
    std::printf("saltire, start to the end of its discovery %8.1f ms; in %d of %d runs the window was shown first%s\n",
                discoveryMs, runs - nDiscoveryFirst, runs,
                nDiscoveryFirst ? " (the others: discovery ended first, on another thread)" : "");
    return 0;
}
