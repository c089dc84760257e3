// The load commands driven end to end through the menu: the file dialog is
// answered and every message box is read and closed as the user would.

#include "Unit1.h"
#include "conversion.h"
#include "gui_test_support.h"
#include "load_command.h"
#include "test_support.h"
#include "window_design.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QUrl>
#include <QWindow>
#include <sys/resource.h>

namespace {

/// `text` as a line of a file, with its CR LF end.
QByteArray crlfLine(std::string_view text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size())) + "\r\n";
}

const QByteArray header = crlfLine(varnholt::testing::header);
const QByteArray rowA = crlfLine(varnholt::testing::exampleRow);
// The example row as a JSON array of one record, every value a text.
QByteArray jsonRecordOfRowA()
{
    const auto bytes = [](std::string_view text) {
        return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    };
    const QList<QByteArray> names = bytes(varnholt::testing::header).split(',');
    const QList<QByteArray> values = bytes(varnholt::testing::exampleRow).split(',');
    QByteArray json = "[\n  {";
    for (qsizetype k = 0; k < names.size(); ++k)
        json += (k == 0 ? "\"" : ", \"") + names[k] + "\": \"" + values[k] + '"';
    return json + "}\n]\n";
}

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
        auto *nameEdit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        // What the user sees filled in: the name in the name field, in the
        // folder the dialog shows; nothing when the name field is empty.
        if (filledIn && nameEdit)
            *filledIn = nameEdit->text().isEmpty()
                ? QString()
                : QDir(dialog->directory()).filePath(nameEdit->text());
        // The dialog takes a name selected in its list before a typed one, and
        // the name typed deselects the one chosen last only while it has the
        // keyboard focus, which it may not have yet on a loaded machine. Clear
        // the selection, so that the dialog yields the name as typed.
        const auto typed = [dialog, nameEdit, &path] {
            for (auto *view : dialog->findChildren<QAbstractItemView *>())
                if (view->selectionModel())
                    view->selectionModel()->clearSelection();
            nameEdit->setText(path);
            return dialog->selectedFiles() == QStringList({ QFileInfo(path).absoluteFilePath() });
        };
        if (nameEdit && !path.isEmpty())
            static_cast<void>(QTest::qWaitFor(typed, 5000));
        else if (nameEdit)
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

/// The summary box's text for `count` satellites written to `output`.
QString summaryText(int count, const QString &output)
{
    return QStringLiteral("Conversion completed (%1 satellites)\n\nFile saved as ").arg(count)
        + output + QStringLiteral("\n\n\n") + QString(24, QLatin1Char(' '))
        + QStringLiteral("Click OK to SAVE and EXIT.");
}

/// Waits until every expected window has been answered and no modal window is left.
bool allAnswered(const ModalAnswerer &answerer)
{
    return QTest::qWaitFor(
        [&] { return answerer.done() && !QApplication::activeModalWidget(); }, 10000);
}

/// Whether a click of the mouse on `window`, as the window system delivers it,
/// reaches the window or one of its widgets.
bool clickReaches(QWidget *window)
{
    struct PressSeen : QObject {
        QWidget *window = nullptr;
        bool seen = false;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            auto *widget = qobject_cast<QWidget *>(watched);
            if (event->type() == QEvent::MouseButtonPress && widget && widget->window() == window)
                seen = true;
            return false;
        }
    } filter;
    filter.window = window;
    qApp->installEventFilter(&filter);
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
    QApplication::processEvents();
    qApp->removeEventFilter(&filter);
    return filter.seen;
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
    void fiveDigitCommandWritesStandIns();
    void dialogOffersCsvFirstThenJsonAndAllFiles();
    void startsWithFileArguments_data();
    void startsWithFileArguments();
    void handedFilesRunInTurn_data();
    void handedFilesRunInTurn();
    void dragAcceptance_data();
    void dragAcceptance();
    void droppedFilesRunInTurn();
    void fileSizeLimitReachesApplicationErrorBox();
    void aboutWindowTakesNoInputWhileACommandRuns();

private:
    QString write(const QString &name, const QByteArray &content);
    ShownBox runCommand(QAction *command, const QString &path, QString *filledIn = nullptr);

    TMainForm *m_form = nullptr;
    QTemporaryDir *m_dir = nullptr;
    QString m_startFolder;
};

void LoadCommandsTest::init()
{
    m_startFolder = QDir::currentPath();
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
    QDir::setCurrent(m_startFolder);
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
    // Nothing chosen yet: no name is filled in.
    QCOMPARE(filledIn, QString());
    QCOMPARE(catalogueNumbers(output), QStringList({ "20001", "20002" }));

    runCommand(m_form->Renumber, input, &filledIn);
    // The name chosen last is filled in.
    QCOMPARE(filledIn, input);
    QCOMPARE(catalogueNumbers(output), QStringList({ "20003", "20004" }));

    runCommand(m_form->LoadCSVfile1, input);
    QCOMPARE(catalogueNumbers(output), QStringList({ "40732", "40733" }));
    QCOMPARE(m_form->conversion().renumbercounter, 20004);
}

/// The example row with the catalogue number `number`.
QByteArray numbered(const QByteArray &number)
{
    QByteArray row = rowA;
    return row.replace(",U,40732,", ",U," + number + ",");
}

void LoadCommandsTest::fiveDigitCommandWritesStandIns()
{
    const QString input = write(QStringLiteral("new.csv"),
        header + numbered("100000") + numbered("100401") + numbered("119999") + rowB);
    const QString output = m_dir->filePath(QStringLiteral("new.TLE"));

    const ShownBox shown = runCommand(m_form->FiveDigit, input);
    // Only digits written: the usual summary.
    QCOMPARE(shown.text, summaryText(4, output));
    QCOMPARE(catalogueNumbers(output), QStringList({ "80000", "80401", "99999", "40733" }));
    QCOMPARE(m_form->conversion().fivedigitmode, 0);

    // "Load CSV file" writes the letter form, and its summary names the command.
    const ShownBox letters = runCommand(m_form->LoadCSVfile1, input);
    QCOMPARE(catalogueNumbers(output), QStringList({ "A0000", "A0401", "B9999", "40733" }));
    QCOMPARE(letters.text, toString(varnholt::summaryMessage(4, output.toStdString(), 3)));
    QVERIFY(letters.text.contains(QStringLiteral("\n\n3 catalogue numbers above 99999")));
    QVERIFY(letters.text.contains(toString(varnholt::fiveDigitCommandCaption)));

    // A number without a stand-in ends the run in the error box, after the rows before it.
    const QString beyond
        = write(QStringLiteral("beyond.csv"), header + rowA + numbered("120000") + rowB);
    const ShownBox error = runCommand(m_form->FiveDigit, beyond);
    QCOMPARE(error.caption, applicationTitle());
    QCOMPARE(error.text,
        QStringLiteral(
            "Catalogue number '120000' is above 119999 and has no five-digit stand-in."));
    QCOMPARE(error.icon, QMessageBox::Critical);
    QCOMPARE(
        catalogueNumbers(m_dir->filePath(QStringLiteral("beyond.TLE"))), QStringList({ "40732" }));
    QCOMPARE(m_form->conversion().fivedigitmode, 0);
}

void LoadCommandsTest::dialogOffersCsvFirstThenJsonAndAllFiles()
{
    for (const char *name : { "a.csv", "b.txt", "c.dat", "gp.json", "elements" })
        write(QString::fromLatin1(name), header);
    // Chosen once, so that the dialog opens in the temporary folder.
    runCommand(m_form->LoadCSVfile1, m_dir->filePath(QStringLiteral("a.csv")));

    // The files the dialog lists once it has read the folder.
    const auto listedFiles = [](QWidget *modal) {
        QStringList listed;
        auto *view = modal->findChild<QListView *>(QStringLiteral("listView"));
        (void)QTest::qWaitFor(
            [&] { return view && view->model()->rowCount(view->rootIndex()) > 1; });
        for (int row = 0; view && row < view->model()->rowCount(view->rootIndex()); ++row)
            listed.append(view->model()->index(row, 0, view->rootIndex()).data().toString());
        listed.sort();
        return listed;
    };
    QStringList filters;
    QStringList selected;
    QStringList listed;
    QStringList listedByLast;
    bool resizable = false;
    ShownBox notice;
    ModalAnswerer answerer;
    answerer.expect([&](QWidget *modal) {
        auto *combo = modal->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        for (int i = 0; combo && i < combo->count(); ++i)
            filters.append(combo->itemText(i));
        selected.append(combo ? combo->currentText() : QString());
        resizable = modal->minimumSize() != modal->maximumSize();
        listed = listedFiles(modal);
        // The user turns to the last entry before cancelling.
        if (combo) {
            combo->setCurrentIndex(combo->count() - 1);
            emit combo->activated(combo->currentIndex());
        }
        (void)QTest::qWaitFor([&] { return listedFiles(modal).size() > listed.size(); });
        listedByLast = listedFiles(modal);
        modal->close();
    });
    answerer.expect(recordBox(notice));
    m_form->LoadCSVfile1->trigger();
    QVERIFY(allAnswered(answerer));

    QCOMPARE(filters,
        QStringList({ "CSV satellite data (*.csv, *.txt)", "JSON satellite data (*.json)",
            "All files (*.*)" }));
    QCOMPARE(listed, QStringList({ "a.csv", "b.txt" }));
    // The run that opened the folder wrote a.TLE.
    QCOMPARE(
        listedByLast, QStringList({ "a.TLE", "a.csv", "b.txt", "c.dat", "elements", "gp.json" }));
    QVERIFY(resizable);
    QCOMPARE(notice.text, QStringLiteral("Not a valid filename"));

    // Opened again, the dialog starts from the first entry, whatever was chosen last.
    ModalAnswerer again;
    again.expect([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        selected.append(dialog ? dialog->selectedNameFilter() : QString());
        modal->close();
    });
    again.expect(recordBox(notice));
    m_form->LoadCSVfile1->trigger();
    QVERIFY(allAnswered(again));
    QCOMPARE(selected,
        QStringList({ "CSV satellite data (*.csv, *.txt)", "CSV satellite data (*.csv, *.txt)" }));
}

void LoadCommandsTest::startsWithFileArguments_data()
{
    QTest::addColumn<QString>("name"); // written in the temporary folder, the current directory
    QTest::addColumn<QString>("argument"); // null: the file's full path
    QTest::newRow("full path") << "active.csv" << QString();
    QTest::newRow("relative path") << "active.csv"
                                   << "./active.csv";
    // Whatever the file holds, a JSON file's name is handed on as any other.
    QTest::newRow("JSON file") << "active.json" << QString();
}

void LoadCommandsTest::startsWithFileArguments()
{
    QFETCH(QString, name);
    QFETCH(QString, argument);
    const QString input = write(name, header + rowA + rowB);
    const QString output = m_dir->filePath(QStringLiteral("active.TLE"));
    QVERIFY(QDir::setCurrent(m_dir->path()));
    TMainForm form;

    ShownBox shown;
    bool windowShownFirst = false;
    ModalAnswerer answerer;
    answerer.expect([&](QWidget *modal) {
        windowShownFirst = form.isVisible() && form.windowHandle()->isExposed();
        recordBox(shown)(modal);
    });
    startMainWindow(form, { QStringLiteral("varnholt"), argument.isNull() ? input : argument });
    QVERIFY(allAnswered(answerer));

    QVERIFY(windowShownFirst);
    // No file dialog: the one modal window was the summary, where the menu command puts it.
    QCOMPARE(shown.caption, applicationTitle());
    QCOMPARE(shown.text, summaryText(2, output));
    QCOMPARE(shown.frame.topLeft(), form.frameGeometry().topLeft() + QPoint(75, 65));
    QCOMPARE(catalogueNumbers(output), QStringList({ "40732", "40733" }));
    // Offered in the file dialog next time, as a name chosen there would be.
    QCOMPARE(form.conversion().sourcefilename, QFile::encodeName(input).toStdString());
}

void LoadCommandsTest::handedFilesRunInTurn_data()
{
    QTest::addColumn<QByteArray>("first"); // null: the file does not exist
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::newRow("missing file") << QByteArray() << applicationTitle() << "File not found.";
    QTest::newRow("wrong header") << "object_name,object_id\r\n" + rowA << "Error"
                                  << toString(varnholt::wrongHeaderMessage);
    QByteArray badRow = rowA;
    badRow.replace(".0002345", "abc");
    QTest::newRow("number that does not read")
        << header + badRow << applicationTitle() << "'abc' is not a valid floating point value.";
}

void LoadCommandsTest::handedFilesRunInTurn()
{
    QFETCH(QByteArray, first);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    const QString bad = first.isNull() ? m_dir->filePath(QStringLiteral("bad.csv"))
                                       : write(QStringLiteral("bad.csv"), first);
    const QString good = write(QStringLiteral("good.csv"), header + rowA);
    const QString goodOutput = m_dir->filePath(QStringLiteral("good.TLE"));

    ShownBox firstBox;
    ShownBox secondBox;
    bool secondRanEarly = false;
    ModalAnswerer answerer;
    answerer.expect([&](QWidget *modal) {
        secondRanEarly = QFile::exists(goodOutput);
        recordBox(firstBox)(modal);
    });
    answerer.expect(recordBox(secondBox));
    m_form->openFiles({ bad, good });
    QVERIFY(allAnswered(answerer));

    QCOMPARE(firstBox.caption, caption);
    QCOMPARE(firstBox.text, text);
    QCOMPARE(firstBox.icon, QMessageBox::Critical);
    QVERIFY(!secondRanEarly);
    QCOMPARE(secondBox.text, summaryText(1, goodOutput));
    QCOMPARE(catalogueNumbers(goodOutput), QStringList({ "40732" }));
    QCOMPARE(m_form->conversion().sourcefilename, QFile::encodeName(good).toStdString());
}

void LoadCommandsTest::dragAcceptance_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("actions");
    QTest::addColumn<bool>("accepted");
    const auto file = [](const char *name) {
        return QUrl::fromLocalFile(QStringLiteral("/tmp/varnholt-drag/") + QLatin1String(name));
    };
    const int copyOrMove = Qt::CopyAction | Qt::MoveAction;
    QTest::newRow(".csv file") << QList { file("active.csv") } << QString() << copyOrMove << true;
    QTest::newRow(".TXT in capitals")
        << QList { file("LIST.TXT") } << QString() << copyOrMove << true;
    QTest::newRow(".json file") << QList { file("gp.json") } << QString() << copyOrMove << true;
    QTest::newRow(".JSON in capitals")
        << QList { file("GP.JSON") } << QString() << copyOrMove << true;
    QTest::newRow("two loadable files, with their names as text")
        << QList { file("a.csv"), file("b.Txt") } << "/tmp/varnholt-drag/a.csv" << copyOrMove
        << true;
    QTest::newRow("other extension") << QList { file("a.dat") } << QString() << copyOrMove << false;
    QTest::newRow("no extension") << QList { file("active") } << QString() << copyOrMove << false;
    QTest::newRow("compressed") << QList { file("a.csv.gz") } << QString() << copyOrMove << false;
    QTest::newRow("loadable and other file")
        << QList { file("a.csv"), file("b.png") } << QString() << copyOrMove << false;
    QTest::newRow("remote URL") << QList { QUrl(QStringLiteral("https://example.org/a.csv")) }
                                << QString() << copyOrMove << false;
    QTest::newRow("text only") << QList<QUrl>() << "/tmp/varnholt-drag/a.csv" << copyOrMove
                               << false;
    QTest::newRow("only moving offered")
        << QList { file("active.csv") } << QString() << int(Qt::MoveAction) << false;
}

void LoadCommandsTest::dragAcceptance()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(QString, text);
    QFETCH(int, actions);
    QFETCH(bool, accepted);
    QMimeData data;
    if (!urls.isEmpty())
        data.setUrls(urls);
    if (!text.isEmpty())
        data.setText(text);
    const QPoint middle = m_form->rect().center();
    const auto offered = static_cast<Qt::DropActions>(actions);

    QDragEnterEvent enter(middle, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_form, &enter);
    // The drag leaves, as every drag that is not dropped ends: Qt keeps the
    // widget that accepted it as its target, and that window goes with the test.
    const auto leave = qScopeGuard([this] {
        QDragLeaveEvent left;
        QApplication::sendEvent(m_form, &left);
    });
    QDragMoveEvent move(middle, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_form, &move);

    QCOMPARE(enter.isAccepted(), accepted);
    QCOMPARE(move.isAccepted(), accepted);
    if (accepted) {
        // Copied, never moved: the source keeps its files.
        QCOMPARE(enter.dropAction(), Qt::CopyAction);
        QCOMPARE(move.dropAction(), Qt::CopyAction);
        return;
    }
    // Dropped anyway, it is refused without a word.
    ShownBox shown;
    ModalAnswerer answerer;
    answerer.expect(recordBox(shown));
    QDropEvent drop(middle, offered, &data, Qt::LeftButton, Qt::NoModifier);
    // Qt hands a drop only to the widget that accepted the drag: straight to the window.
    static_cast<QObject *>(m_form)->event(&drop);
    QVERIFY(!drop.isAccepted());
    QTest::qWait(100);
    QVERIFY2(!answerer.done(), qPrintable(shown.text));
}

void LoadCommandsTest::droppedFilesRunInTurn()
{
    const QString first = write(QStringLiteral("first.csv"), header + rowA + rowB);
    const QString second = write(QStringLiteral("SECOND.TXT"), header + rowB);
    const QString third = write(QStringLiteral("gp.json"), jsonRecordOfRowA());
    QMimeData data;
    data.setUrls(
        { QUrl::fromLocalFile(first), QUrl::fromLocalFile(second), QUrl::fromLocalFile(third) });

    ShownBox firstBox;
    ShownBox secondBox;
    ShownBox thirdBox;
    ModalAnswerer answerer;
    answerer.expect(recordBox(firstBox));
    answerer.expect(recordBox(secondBox));
    answerer.expect(recordBox(thirdBox));
    // A drop comes after the drag entered the window, as a file manager offers it.
    const QPoint middle = m_form->rect().center();
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(middle, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_form, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(middle, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_form, &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(drop.dropAction(), Qt::CopyAction);
    QVERIFY(allAnswered(answerer));

    QCOMPARE(firstBox.text, summaryText(2, m_dir->filePath(QStringLiteral("first.TLE"))));
    QCOMPARE(secondBox.text, summaryText(1, m_dir->filePath(QStringLiteral("SECOND.TLE"))));
    QCOMPARE(
        catalogueNumbers(m_dir->filePath(QStringLiteral("SECOND.TLE"))), QStringList({ "40733" }));
    QCOMPARE(thirdBox.text, summaryText(1, m_dir->filePath(QStringLiteral("gp.TLE"))));
    QCOMPARE(catalogueNumbers(m_dir->filePath(QStringLiteral("gp.TLE"))), QStringList({ "40732" }));
    QVERIFY(QFile::exists(first) && QFile::exists(second) && QFile::exists(third));
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

void LoadCommandsTest::aboutWindowTakesNoInputWhileACommandRuns()
{
    m_form->About->trigger();
    QWidget *about = nullptr;
    QVERIFY(QTest::qWaitFor([&] {
        for (QWidget *child : m_form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (child->isWindow() && child->isVisible() && child != m_form->LoadDlg)
                about = child;
        }
        return about != nullptr;
    }));
    QVERIFY(QTest::qWaitForWindowExposed(about));
    QVERIFY(clickReaches(about));

    // Only the command's own dialog and boxes take input while it runs.
    struct During {
        QString modal;
        bool aboutEnabled = false;
        bool clickReachedAbout = true;
    };
    QList<During> seen;
    const auto tryAbout = [&](QWidget *modal) {
        const QString kind = qobject_cast<QFileDialog *>(modal) ? QStringLiteral("open dialog")
            : qobject_cast<QMessageBox *>(modal)
            ? QStringLiteral("message box")
            : QString::fromLatin1(modal->metaObject()->className());
        seen.append({ kind, about->isEnabled(), clickReaches(about) });
    };
    ShownBox notice;
    ModalAnswerer answerer;
    answerer.expect([&](QWidget *modal) {
        tryAbout(modal);
        cancel()(modal);
    });
    answerer.expect([&](QWidget *modal) {
        tryAbout(modal);
        recordBox(notice)(modal);
    });
    m_form->LoadCSVfile1->trigger();
    QVERIFY(allAnswered(answerer));

    QCOMPARE(notice.text, QStringLiteral("Not a valid filename"));
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[0].modal, QStringLiteral("open dialog"));
    QCOMPARE(seen[1].modal, QStringLiteral("message box"));
    for (const During &during : seen) {
        QVERIFY2(!during.clickReachedAbout, qPrintable(during.modal));
        // Blocked by the modal window, not disabled: it comes back as it was.
        QVERIFY2(during.aboutEnabled, qPrintable(during.modal));
    }
    QVERIFY(clickReaches(about));
    QVERIFY(about->isVisible());
}

VARNHOLT_GUI_TEST_MAIN(LoadCommandsTest)
#include "load_commands_test.moc"
