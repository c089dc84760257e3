#include "help_window.h"

#include "chm_archive.h"
#include "chm_contents.h"
#include "help_browser.h"

#include <QAction>
#include <QFileInfo>
#include <QKeySequence>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <vector>

namespace {

constexpr int PathRole = Qt::UserRole;

} // namespace

HelpWindow::HelpWindow(const std::shared_ptr<const ChmArchive> &archive, QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_browser(new HelpBrowser(archive, this))
    , m_contents(new QTreeWidget(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("helpWindow"));
    const QString title
        = archive->title().isEmpty() ? QFileInfo(archive->fileName()).fileName() : archive->title();
    setWindowTitle(title);

    QToolBar *toolBar = addToolBar(tr("Navigation"));
    toolBar->setMovable(false);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_back = toolBar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("Back"), m_browser,
        &QTextBrowser::backward);
    m_back->setShortcut(QKeySequence::Back);
    m_back->setEnabled(false);
    m_forward = toolBar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("Forward"),
        m_browser, &QTextBrowser::forward);
    m_forward->setShortcut(QKeySequence::Forward);
    m_forward->setEnabled(false);
    m_home = toolBar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("Home"),
        m_browser, &HelpBrowser::showDefaultTopic);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QAction::setEnabled);

    m_contents->setHeaderHidden(true);
    m_contents->setObjectName(QStringLiteral("contents"));
    connect(m_contents, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        const QString path = item->data(0, PathRole).toString();
        if (!path.isEmpty() && ChmArchive::toArchivePath(m_browser->source()) != path)
            m_browser->showTopic(path);
    });
    connect(m_contents, &QTreeWidget::itemClicked, m_contents, &QTreeWidget::itemActivated);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::selectContentsEntry);

    auto *splitter = new QSplitter(this);
    splitter->addWidget(m_contents);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({ 190, 550 });
    setCentralWidget(splitter);
    fillContents();
    // Narrow enough to stand beside the centred main window on a 1920-pixel screen.
    resize(740, 560);
    m_browser->setFocus();
}

const ChmArchive &HelpWindow::archive() const { return m_browser->archive(); }

void HelpWindow::fillContents()
{
    const ChmArchive &chm = archive();
    const std::optional<QByteArray> sitemap
        = chm.contentsFile().isEmpty() ? std::nullopt : chm.read(chm.contentsFile());
    const std::vector<ContentsEntry> entries
        = sitemap ? parseContents(*sitemap) : std::vector<ContentsEntry> {};
    if (entries.empty()) {
        m_contents->hide();
        return;
    }
    std::vector<QTreeWidgetItem *> parents;
    for (const ContentsEntry &entry : entries) {
        parents.resize(std::min(parents.size(), static_cast<std::size_t>(entry.depth)));
        auto *item = parents.empty() ? new QTreeWidgetItem(m_contents)
                                     : new QTreeWidgetItem(parents.back());
        item->setText(0, entry.name);
        if (!entry.local.isEmpty())
            item->setData(0, PathRole, ChmArchive::resolve(chm.contentsFile(), entry.local));
        parents.push_back(item);
    }
    m_contents->expandAll();
}

void HelpWindow::selectContentsEntry(const QUrl &source)
{
    const QString path = ChmArchive::toArchivePath(source);
    for (QTreeWidgetItemIterator it(m_contents); *it; ++it) {
        if ((*it)->data(0, PathRole).toString().compare(path, Qt::CaseInsensitive) == 0) {
            m_contents->setCurrentItem(*it);
            return;
        }
    }
}
