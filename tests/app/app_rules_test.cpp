// Rules of the Qt window that the desktop rules leave to the toolkit: the file
// dialog's filters and the lower case of the application title.

#include "application.h"
#include "load_command.h"
#include "window_host.h"

#include <QTest>

class AppRulesTest : public QObject {
    Q_OBJECT
private slots:
    void applicationTitleInEveryScript_data();
    void applicationTitleInEveryScript();
    void nameFilter_data();
    void nameFilter();
};

void AppRulesTest::applicationTitleInEveryScript_data()
{
    QTest::addColumn<QString>("programPath");
    QTest::addColumn<QString>("title");
    QTest::newRow("plain letters") << "/opt/Tools/ConvTool.exe"
                                   << "Convtool";
    QTest::newRow("accented capitals lowered") << "/opt/VÄRNHOLT.bin"
                                               << "Värnholt";
    QTest::newRow("accented first character kept") << "/opt/ÉTOILE"
                                                   << "Étoile";
    QTest::newRow("Greek") << "/usr/bin/ΔΕΛΤΑ.x"
                           << "Δελτα";
}

void AppRulesTest::applicationTitleInEveryScript()
{
    QFETCH(QString, programPath);
    QFETCH(QString, title);
    QCOMPARE(applicationTitleFor(programPath), title);
}

void AppRulesTest::nameFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("qtFilters");
    QTest::newRow("load command's filter")
        << QString::fromLatin1(
               varnholt::loadFilter.data(), static_cast<qsizetype>(varnholt::loadFilter.size()))
        << QStringList { "CSV satellite data (*.csv, *.txt) (*.csv *.txt)",
               "JSON satellite data (*.json) (*.json)", "All files (*.*) (*)" };
    QTest::newRow("one pattern") << "All files|*" << QStringList { "All files (*)" };
    QTest::newRow("no bar") << "Text (*.txt)" << QStringList { "Text (*.txt)" };
    QTest::newRow("all-files pattern among others")
        << "Data|*.dat;*.*;*.*x" << QStringList { "Data (*.dat * *.*x)" };
}

void AppRulesTest::nameFilter()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, qtFilters);
    QCOMPARE(qtNameFilters(filter.toStdString()), qtFilters);
}

QTEST_APPLESS_MAIN(AppRulesTest)
#include "app_rules_test.moc"
