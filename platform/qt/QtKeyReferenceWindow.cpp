#include "platform/qt/QtKeyReferenceWindow.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPointer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/qt/QtText.h"

namespace {

QPointer<QWidget> referenceWindow;

// Escape closes it, as it would a dialog.
class ReferenceWindow : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape) close();
        else QWidget::keyPressEvent(event);
    }
};

// Menu shortcuts are stored in Qt's portable form ("Ctrl+Shift+Z"); show them as
// this desktop writes them. Descriptions with spaces ("Ctrl + drag") stay as they are.
QString InputText(const std::string& input) {
    if (input.find(' ') != std::string::npos) return PlatformText(input);
    const QKeySequence sequence(QString::fromStdString(input), QKeySequence::PortableText);
    const QString native = sequence.toString(QKeySequence::NativeText);
    return sequence.isEmpty() || native.isEmpty() ? PlatformText(input) : native;
}

void Fill(QTreeWidget* tree, const std::vector<KeyReferenceRow>& rows) {
    tree->clear();
    QTreeWidgetItem* section = nullptr;
    for (const KeyReferenceRow& row : rows) {
        if (!section || section->text(0) != PlatformText(row.section)) {
            section = new QTreeWidgetItem(tree, {PlatformText(row.section)});
            QFont bold = section->font(0);
            bold.setBold(true);
            section->setFont(0, bold);
            section->setFirstColumnSpanned(true);
            section->setFlags(Qt::ItemIsEnabled);
        }
        auto* item = new QTreeWidgetItem(section, {InputText(row.input), PlatformText(row.action)});
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    tree->expandAll();
    tree->resizeColumnToContents(0);
}

QWidget* MakeWindow() {
    // Owned by the main window, so it goes when the application does and never keeps it alive.
    QWidget* owner = QApplication::activeWindow();
    auto* window = new ReferenceWindow(owner, Qt::Window);
    window->setObjectName("keyReferenceWindow");
    window->setWindowTitle("Keyboard and Mouse \u2014 Gravitas");
    auto* tree = new QTreeWidget(window);
    tree->setObjectName("keyReferenceList");
    tree->setColumnCount(2);
    tree->setHeaderLabels({"Press or do", "What it does"});
    tree->setRootIsDecorated(false);
    tree->setItemsExpandable(false);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->header()->setStretchLastSection(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, window);
    QObject::connect(buttons, &QDialogButtonBox::rejected, window, &QWidget::close);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(tree);
    layout->addWidget(buttons);
    window->resize(780, 680);
    return window;
}

}  // namespace

QWidget* ShowKeyReferenceWindow(const std::vector<KeyReferenceRow>& rows) {
    if (!referenceWindow) referenceWindow = MakeWindow();
    Fill(referenceWindow->findChild<QTreeWidget*>("keyReferenceList"), rows);
    referenceWindow->show();
    referenceWindow->raise();
    referenceWindow->activateWindow();
    return referenceWindow;
}
