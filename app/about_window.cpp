#include "about_window.h"

#include "outer_size.h"
#include "placement.h"
#include "version.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace {

const QColor windowGrey(0xDF, 0xDF, 0xDF);
const QColor outlineGrey(0x80, 0x80, 0x80);

/// A rectangle with a 2-pixel outline, filled with the window's grey.
class FrameRectangle : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), outlineGrey);
        painter.fillRect(rect().adjusted(2, 2, -2, -2), windowGrey);
    }
};

/// Where the text rows start, and where they must end: the inner edge of the
/// frame rectangle's right side.
constexpr int rowLeft = 120;
constexpr int rowRight = aboutWindowSize.width() - 16 - 2;

QLabel *addRow(QWidget *window, const QString &text, int top)
{
    auto *label = new QLabel(text, window);
    label->setObjectName(QStringLiteral("row%1").arg(top / 20));
    label->setTextFormat(Qt::PlainText);
    label->move(rowLeft, top);
    label->adjustSize();
    return label;
}

} // namespace

QString readmeRow(const QString &docFolder, const QFontMetrics &metrics, int width)
{
    const QString lead = QStringLiteral("README: ");
    return lead
        + metrics.elidedText(docFolder, Qt::ElideMiddle, width - metrics.horizontalAdvance(lead));
}

QWidget *showAboutWindow(QWidget *owner, const QPixmap &icon)
{
    // Title and close button only: no minimise or maximise button.
    auto *window = new QWidget(owner,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint);
    window->setAttribute(Qt::WA_QuitOnClose, false);
    window->setWindowTitle(QStringLiteral("About this program"));
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, windowGrey);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    window->setFont(QFont(QStringLiteral("Arial"), 11));

    const int width = aboutWindowSize.width();
    const int height = aboutWindowSize.height();
    window->move(aboutWindowPlace(owner->frameGeometry(), aboutWindowSize));
    keepOuterSize(window, aboutWindowSize);

    // Items in building order; a later one is drawn over an earlier one. The
    // rectangle starts above the client area so that its top side is hidden.
    auto *frame = new FrameRectangle(window);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setGeometry(0, -2, width - 16, height - 40);

    auto *image = new QLabel(window);
    image->setObjectName(QStringLiteral("icon"));
    image->setGeometry(40, 46, 105, 105);
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image->setPixmap(icon);

    auto *title = new QLabel(QStringLiteral("Varnholt"), window);
    title->setObjectName(QStringLiteral("title"));
    QFont titleFont(QStringLiteral("Arial"), 14, QFont::Bold);
    titleFont.setUnderline(true);
    title->setFont(titleFont);
    title->move(90, 2);
    title->adjustSize();

    addRow(window, QStringLiteral("version ") + QString::fromUtf8(varnholt::programVersion), 40);
    addRow(window, QStringLiteral("October 1, 2025"), 60);
    addRow(window, QStringLiteral("The Varnholt developers"), 80);
    const QString docFolder = QStringLiteral(VARNHOLT_INSTALL_DOCDIR);
    QLabel *readme = addRow(
        window, readmeRow(docFolder, QFontMetrics(window->font()), rowRight - rowLeft), 100);
    if (!readme->text().endsWith(docFolder))
        readme->setToolTip(docFolder);
    QLabel *credits = addRow(window, QStringLiteral("Element sets: public catalogues"), 120);
    QFont creditsFont = credits->font();
    creditsFont.setItalic(true);
    credits->setFont(creditsFont);
    credits->adjustSize();

    auto *description = new QLabel(window);
    description->setObjectName(QStringLiteral("description"));
    description->setTextFormat(Qt::PlainText);
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    description->setText(
        QStringLiteral("\nVarnholt is a utility for converting a list of satellite element sets in "
                       "CSV format into the older 2-line element sets as required by ORBITRON "
                       "satellite tracking software inter alia.\n\n"));
    description->move(20, 138);
    description->setFixedSize(width - 60, height - 200);

    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
