// The load commands driven end to end through the menu: the file dialog is
// answered and every message box is read and closed as the user would.

#include "Unit1.h"
#include "conversion.h"
#include "gui_test_support.h"
#include "test_support.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListView>
#include <QScreen>
#include <QTemporaryDir>

#include <sys/resource.h>

namespace {

/// `text` as a line of a file, with its CR LF end.
QByteArray crlfLine(std::string_view text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size())) + "\r\n";
}

const QByteArray header = crlfLine(varnholt::testing::header);
const QByteArray rowA = crlfLine(varnholt::testing::exampleRow);
const QByteArray rowB = "EXAMPLESAT 5,2016-012B,2024-03-12T01:00:00.000000,14.5,.0001,"
                        "51.6,10.5,20.25,30.125,0,U,40733,12,5,.1E-4,.5E-5,0\r\n";

// Centred by integer halves: the centres may differ by one pixel.
constexpr int frameSlack = 1;

QString toString(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

/// Catalogue numbers (columns 3 to 7 of each first element line) of a converted file.
QStringList catalogueNumbers(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return { QStringLiteral("<cannot read %1>").arg(path) };
    const QList<QByteArray> lines = file.readAll().split('\n');
    QStringList numbers;
    for (qsizetype i = 1; i < lines.size(); i += 3)
        numbers.append(QString::fromLatin1(lines[i].mid(2, 5)).trimmed());
    return numbers;
}

/// An answer that chooses `path` in the file dialog (typed, as a user may type
/// the name of a file that does not exist) and remembers what was filled in.
ModalAnswerer::Answer choose(const QString &path, QString *filledIn = nullptr)
{
    return [path, filledIn](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        if (filledIn)
            *filledIn = dialog->selectedFiles().value(0);
        auto *nameEdit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (nameEdit)
            nameEdit->setText(path);
        // QFileDialog::accept() is protected; through QDialog it still runs
        // the file dialog's own checks.
        static_cast<QDialog *>(dialog)->accept();
    };
}

ModalAnswerer::Answer cancel()
{
    return [](QWidget *modal) { modal->close(); };
}

} // namespace

class LoadCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void convertsAndShowsSummary_data();
    void convertsAndShowsSummary();
    void wrongHeaderShowsPlacedError();
    void cancelShowsCentredNotice();
    void missingFileReachesApplicationErrorBox();
    void renumberingContinuesAcrossRuns();
    void dialogOffersOneFilterForCsvAndTxt();
    void fileSizeLimitReachesApplicationErrorBox();

private:
    QString write(const QString &name, const QByteArray &content);
    ShownBox runCommand(QAction *command, const QString &path, QString *filledIn = nullptr);

    TMainForm *m_form = nullptr;
    QTemporaryDir *m_dir = nullptr;
};

void LoadCommandsTest::init()
{
    m_dir = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/loadcommands-XXXXXX"));
    QVERIFY(m_dir->isValid());
    // The output name is cut at the first "." of the whole path.
    QVERIFY(!m_dir->path().contains(QLatin1Char('.')));
    m_form = new TMainForm;
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void LoadCommandsTest::cleanup()
{
    delete m_form;
    m_form = nullptr;
    delete m_dir;
    m_dir = nullptr;
}

QString LoadCommandsTest::write(const QString &name, const QByteArray &content)
{
    QString path = m_dir->filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

ShownBox LoadCommandsTest::runCommand(QAction *command, const QString &path, QString *filledIn)
{
    ShownBox shown;
    ModalAnswerer answerer;
    answerer.expect(path.isNull() ? cancel() : choose(path, filledIn));
    answerer.expect(recordBox(shown));
    command->trigger();
    if (!QTest::qWaitFor(
            [&] { return answerer.done() && !QApplication::activeModalWidget(); }, 10000))
        shown.caption = QStringLiteral("<timed out>");
    return shown;
}

void LoadCommandsTest::convertsAndShowsSummary_data()
{
    QTest::addColumn<QPoint>("windowAt");
    QTest::addColumn<bool>("centredAcross");
    QTest::newRow("summary at window + 75, + 65") << QPoint(100, 80) << false;
    // Left + 75 is negative: the box is centred across the screen, its top
    // still follows the window.
    QTest::newRow("window off the left edge") << QPoint(-200, 80) << true;
}

void LoadCommandsTest::convertsAndShowsSummary()
{
    QFETCH(QPoint, windowAt);
    QFETCH(bool, centredAcross);
    m_form->move(windowAt);
    QTRY_COMPARE(m_form->frameGeometry().topLeft(), windowAt);
    const QString input = write(QStringLiteral("active.csv"), header + rowA + rowB);

    const ShownBox shown = runCommand(m_form->LoadCSVfile1, input);

    const QString output = m_dir->filePath(QStringLiteral("active.TLE"));
    QCOMPARE(shown.caption, applicationTitle());
    QCOMPARE(shown.text,
        QStringLiteral("Conversion completed (2 satellites)\n\nFile saved as ") + output
            + QStringLiteral("\n\n\n") + QString(24, QLatin1Char(' '))
            + QStringLiteral("Click OK to SAVE and EXIT."));
    QCOMPARE(shown.icon, QMessageBox::NoIcon);
    QCOMPARE(shown.buttons, 1);
    QCOMPARE(shown.frame.top(), windowAt.y() + 65);
    if (centredAcross) {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(shown.frame.center().x() - screen.center().x()) <= frameSlack);
    } else {
        QCOMPARE(shown.frame.left(), windowAt.x() + 75);
    }
    QCOMPARE(catalogueNumbers(output), QStringList({ "40732", "40733" }));
}

void LoadCommandsTest::wrongHeaderShowsPlacedError()
{
    m_form->move(120, 90);
    QTRY_COMPARE(m_form->frameGeometry().topLeft(), QPoint(120, 90));
    const QString input = write(QStringLiteral("lower.csv"), "object_name,object_id\r\n" + rowA);

    const ShownBox shown = runCommand(m_form->LoadCSVfile1, input);

    QCOMPARE(shown.caption, QStringLiteral("Error"));
    QCOMPARE(shown.text, toString(varnholt::wrongHeaderMessage));
    QCOMPARE(shown.icon, QMessageBox::Critical);
    QCOMPARE(shown.buttons, 1);
    QCOMPARE(shown.frame.topLeft(), QPoint(120 + 125, 90 + 100));
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("lower.TLE"))));
}

void LoadCommandsTest::cancelShowsCentredNotice()
{
    const QString input = write(QStringLiteral("active.csv"), header + rowA);
    QCOMPARE(runCommand(m_form->Renumber, input).caption, applicationTitle());
    QCOMPARE(m_form->conversion().renumbercounter, 20001);

    const ShownBox shown = runCommand(m_form->Renumber, QString());

    QCOMPARE(shown.caption, applicationTitle());
    QCOMPARE(shown.text, QStringLiteral("Not a valid filename"));
    QCOMPARE(shown.icon, QMessageBox::NoIcon);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY(qAbs(shown.frame.center().x() - screen.center().x()) <= frameSlack);
    QVERIFY(qAbs(shown.frame.center().y() - screen.center().y()) <= frameSlack);
    // Nothing changed, and the renumber mode ended with the command.
    QCOMPARE(m_form->conversion().sourcefilename, QFile::encodeName(input).toStdString());
    QCOMPARE(m_form->conversion().renumbercounter, 20001);
    QCOMPARE(m_form->conversion().renumbermode, 0);
    QVERIFY(m_form->isEnabled());
}

void LoadCommandsTest::missingFileReachesApplicationErrorBox()
{
    const QString missing = m_dir->filePath(QStringLiteral("missing.csv"));

    const ShownBox shown = runCommand(m_form->Renumber, missing);

    QCOMPARE(shown.caption, applicationTitle());
    QCOMPARE(shown.text, QStringLiteral("File not found."));
    QCOMPARE(shown.icon, QMessageBox::Critical);
    QCOMPARE(shown.buttons, 1);
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("missing.TLE"))));
    QCOMPARE(m_form->conversion().renumbermode, 0);

    // The program goes on: the next command runs normally.
    const QString input = write(QStringLiteral("active.csv"), header + rowA);
    QCOMPARE(runCommand(m_form->LoadCSVfile1, input).caption, applicationTitle());
    QCOMPARE(
        catalogueNumbers(m_dir->filePath(QStringLiteral("active.TLE"))), QStringList({ "40732" }));
}

void LoadCommandsTest::renumberingContinuesAcrossRuns()
{
    const QString input = write(QStringLiteral("active.csv"), header + rowA + rowB);
    const QString output = m_dir->filePath(QStringLiteral("active.TLE"));

    QString filledIn;
    runCommand(m_form->Renumber, input, &filledIn);
    QVERIFY(filledIn.isEmpty() || QFileInfo(filledIn).isDir());
    QCOMPARE(catalogueNumbers(output), QStringList({ "20001", "20002" }));

    runCommand(m_form->Renumber, input, &filledIn);
    // The name chosen last is filled in.
    QCOMPARE(filledIn, input);
    QCOMPARE(catalogueNumbers(output), QStringList({ "20003", "20004" }));

    runCommand(m_form->LoadCSVfile1, input);
    QCOMPARE(catalogueNumbers(output), QStringList({ "40732", "40733" }));
    QCOMPARE(m_form->conversion().renumbercounter, 20004);
}

void LoadCommandsTest::dialogOffersOneFilterForCsvAndTxt()
{
    write(QStringLiteral("a.csv"), header);
    write(QStringLiteral("b.txt"), header);
    write(QStringLiteral("c.dat"), header);
    // Chosen once, so that the dialog opens in the temporary folder.
    runCommand(m_form->LoadCSVfile1, m_dir->filePath(QStringLiteral("a.csv")));

    QStringList filters;
    QStringList listed;
    bool resizable = false;
    ShownBox notice;
    ModalAnswerer answerer;
    answerer.expect([&](QWidget *modal) {
        auto *combo = modal->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        for (int i = 0; combo && i < combo->count(); ++i)
            filters.append(combo->itemText(i));
        resizable = modal->minimumSize() != modal->maximumSize();
        auto *view = modal->findChild<QListView *>(QStringLiteral("listView"));
        (void)QTest::qWaitFor(
            [&] { return view && view->model()->rowCount(view->rootIndex()) > 1; });
        for (int row = 0; view && row < view->model()->rowCount(view->rootIndex()); ++row)
            listed.append(view->model()->index(row, 0, view->rootIndex()).data().toString());
        modal->close();
    });
    answerer.expect(recordBox(notice));
    m_form->LoadCSVfile1->trigger();
    QVERIFY(QTest::qWaitFor([&] { return answerer.done() && !QApplication::activeModalWidget(); }));

    QCOMPARE(filters, QStringList({ "CSV satellite data (*.csv, *.txt)" }));
    listed.sort();
    QCOMPARE(listed, QStringList({ "a.csv", "b.txt" }));
    QVERIFY(resizable);
    QCOMPARE(notice.text, QStringLiteral("Not a valid filename"));
}

void LoadCommandsTest::fileSizeLimitReachesApplicationErrorBox()
{
    QByteArray rows = header;
    for (int k = 0; k < 2000; ++k)
        rows += rowA;
    const QString input = write(QStringLiteral("active.csv"), rows);
    const QString output = m_dir->filePath(QStringLiteral("active.TLE"));

    // The process may write no file beyond 100,000 bytes while the command
    // runs: the write fails instead of a signal ending the program.
    constexpr rlim_t limit = 100000;
    rlimit original {};
    getrlimit(RLIMIT_FSIZE, &original);
    const rlimit small { limit, original.rlim_max };
    setrlimit(RLIMIT_FSIZE, &small);
    const ShownBox shown = runCommand(m_form->LoadCSVfile1, input);
    setrlimit(RLIMIT_FSIZE, &original);

    QCOMPARE(shown.caption, applicationTitle());
    QCOMPARE(shown.text, QStringLiteral("I/O error 27."));
    QCOMPARE(shown.icon, QMessageBox::Critical);
    const qint64 size = QFileInfo(output).size();
    QVERIFY(size > 0 && size <= static_cast<qint64>(limit));
    QCOMPARE(size % static_cast<qint64>(varnholt::testing::exampleEntry.size()), 0);
    QVERIFY(m_form->isVisible());
}

VARNHOLT_GUI_TEST_MAIN(LoadCommandsTest)
#include "load_commands_test.moc"
