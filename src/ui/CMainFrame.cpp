#include "ui/CMainFrame.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <algorithm>

#include "ui/CAboutDlg.h"
#include "ui/CPictoraView.h"
#include "ui/MethodSettingsStore.h"

namespace pictora {
namespace {

QSettings ProgramSettings() { return QSettings(QStringLiteral("Pictora"), QStringLiteral("pictora")); }

}  // namespace

CMainFrame::CMainFrame(std::unique_ptr<UserDialogs> dialogs)
    : QMainWindow(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    document_.OnNewDocument();
    view_ = new CPictoraView(this, std::move(dialogs));
    setCentralWidget(view_);
    CreateMenus();
    CreateStatusBar();
    setFixedSize(FrameSize());
    view_->OnInitialUpdate();
    QSettings settings = ProgramSettings();
    view_->SetMethod(LoadMethodSettings(settings));
    ShowMethod();
    connect(view_, &CPictoraView::MethodChanged, this, &CMainFrame::KeepMethod);
}

// The form goes while the frame is whole: its end serves the events still
// pending (a status line's relayout among them), which must not reach a frame
// half taken apart.
CMainFrame::~CMainFrame() { delete view_; }

// The options chosen are kept for the next session and shown while any is on.
void CMainFrame::KeepMethod() {
    QSettings settings = ProgramSettings();
    SaveMethodSettings(settings, view_->Method());
    ShowMethod();
}

void CMainFrame::ShowMethod() {
    const QString text = MethodStatusText(view_->Method());
    methodLabel_->setText(text);
    methodLabel_->setVisible(!text.isEmpty());
}

// The frame is 1024 x 768, shrunk to fit the form with the menu and status
// bar where that is smaller, so no empty band is left under the form.
QSize CMainFrame::FrameSize() const {
    const QSize form = view_->size();
    const int height = menuBar()->sizeHint().height() + form.height() + statusBar()->sizeHint().height();
    return {std::min(kFrameWidth, std::max(form.width(), menuBar()->sizeHint().width())), std::min(kFrameHeight, height)};
}

void CMainFrame::CreateMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Arquivo"));
    // "Ctrl+A" is only the item's text; the accelerators below open and save.
    QAction* open = file->addAction(QStringLiteral("&Abrir...\tCtrl+A"), view_, &CPictoraView::OnFileOpen);
    open->setStatusTip(QStringLiteral("Abrir Arquivo"));
    QAction* save = file->addAction(QStringLiteral("&Salvar\tCtrl+S"), view_, &CPictoraView::OnFileSave);
    save->setStatusTip(QStringLiteral("Salvar Arquivo"));
    QAction* exportResults =
        file->addAction(QString::fromUtf8("&Exportar resultados...\tCtrl+E"), view_, &CPictoraView::OnExportResults);
    exportResults->setStatusTip(QString::fromUtf8("Gravar os resultados em um arquivo CSV"));
    file->addSeparator();
    QAction* compare =
        file->addAction(QString::fromUtf8("&Comparar imagens...\tCtrl+K"), view_, &CPictoraView::OnCompareImages);
    compare->setStatusTip(QString::fromUtf8("Comparar a imagem original com a codificada ou com uma referência"));
    file->addSeparator();
    QAction* method = file->addAction(QString::fromUtf8("Opções do &método..."), view_, &CPictoraView::OnMethodOptions);
    method->setStatusTip(
        QString::fromUtf8("Codificação por menor erro, refinamento, poda por taxa e desbloqueio dos próximos passos"));
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("Sair"), this, &QWidget::close);
    exit->setStatusTip(QStringLiteral("Sair"));

    QMenu* about = menuBar()->addMenu(QStringLiteral("&Sobre"));
    QAction* aboutBox = about->addAction(QStringLiteral("&Sobre Pictora..."), this, [this] {
        CAboutDlg dialog(this);
        dialog.exec();
    });
    aboutBox->setStatusTip(QString::fromUtf8("Mostrar informações extras"));

    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this, [this] { view_->OnFileOpen(); });
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this, [this] { view_->OnFileSave(); });
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), this, [this] { view_->OnExportResults(); });
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_K), this, [this] { view_->OnCompareImages(); });
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->showMessage(QStringLiteral("Pronto"));
    methodLabel_ = new QLabel(bar);
    methodLabel_->setObjectName(QStringLiteral("methodSettings"));
    methodLabel_->hide();
    bar->addPermanentWidget(methodLabel_);
    for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
        auto* label = new QLabel(QString::fromLatin1(indicator), bar);
        label->setObjectName(QString::fromLatin1(indicator));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        bar->addPermanentWidget(label);
    }
    // After a menu's status tip the idle text comes back.
    connect(bar, &QStatusBar::messageChanged, this, [bar](const QString& text) {
        if (text.isEmpty()) bar->showMessage(QStringLiteral("Pronto"));
    });
    // While the form loads or saves, the status line says so.
    connect(view_, &CPictoraView::BusyChanged, this, [bar](const QString& text) {
        if (text.isEmpty()) bar->clearMessage();
        else bar->showMessage(text);
    });
}

}  // namespace pictora
