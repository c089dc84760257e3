#include "about_window.h"

#include "outer_size.h"
#include "placement.h"
#include "qt_conversions.h"
#include "window_design.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace about = varnholt::about;

namespace {

const QColor windowGrey = toQColor(about::windowGrey);
const QColor outlineGrey = toQColor(about::outlineGrey);

/// A rectangle with an outline, filled with the window's grey.
class FrameRectangle : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        constexpr int outline = about::frameOutline;
        QPainter painter(this);
        painter.fillRect(rect(), outlineGrey);
        painter.fillRect(rect().adjusted(outline, outline, -outline, -outline), windowGrey);
    }
};

QLabel *addRow(QWidget *window, const QString &text, int top)
{
    auto *label = new QLabel(text, window);
    label->setObjectName(QStringLiteral("row%1").arg(top / 20));
    label->setTextFormat(Qt::PlainText);
    label->move(about::rowLeft, top);
    label->adjustSize();
    return label;
}

} // namespace

QString readmeRow(const QString &docFolder, const QFontMetrics &metrics, int width)
{
    const QString lead = toQString(about::readmeRowLead);
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
    window->setWindowTitle(toQString(varnholt::aboutWindowCaption));
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, windowGrey);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    window->setFont(toQFont(about::textFont));

    window->move(toQPoint(
        varnholt::aboutWindowPlace(toRect(owner->frameGeometry()), varnholt::aboutWindowSize)));
    keepOuterSize(window, toQSize(varnholt::aboutWindowSize));

    // Items in building order; a later one is drawn over an earlier one. The
    // rectangle starts above the client area so that its top side is hidden.
    auto *frame = new FrameRectangle(window);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setGeometry(toQRect(about::frameRectangle));

    auto *image = new QLabel(window);
    image->setObjectName(QStringLiteral("icon"));
    image->setGeometry(toQRect(about::iconBox));
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image->setPixmap(icon);

    auto *title = new QLabel(toQString(varnholt::programName), window);
    title->setObjectName(QStringLiteral("title"));
    title->setFont(toQFont(about::titleFont));
    title->move(toQPoint(about::titlePlace));
    title->adjustSize();

    addRow(window, toQString(about::versionRow()), about::versionRowTop);
    addRow(window, toQString(about::dateRow), about::dateRowTop);
    addRow(window, toQString(about::authorRow), about::authorRowTop);
    const QString docFolder = QStringLiteral(VARNHOLT_INSTALL_DOCDIR);
    QLabel *readme = addRow(window,
        readmeRow(docFolder, QFontMetrics(window->font()), about::rowRight - about::rowLeft),
        about::readmeRowTop);
    if (!readme->text().endsWith(docFolder))
        readme->setToolTip(docFolder);
    QLabel *credits = addRow(window, toQString(about::creditsRow), about::creditsRowTop);
    credits->setFont(toQFont(about::creditsFont));
    credits->adjustSize();

    auto *description = new QLabel(window);
    description->setObjectName(QStringLiteral("description"));
    description->setTextFormat(Qt::PlainText);
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    description->setText(toQString(about::description));
    description->move(toQPoint(about::descriptionBox.topLeft()));
    description->setFixedSize(toQSize(about::descriptionBox.size()));

    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
