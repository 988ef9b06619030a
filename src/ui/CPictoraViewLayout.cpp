// The controls of the form, placed where the form template puts them (in
// dialog units of its 8-point font).
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>

#include "display/ImagePicture.h"
#include "display/MqGrafico.h"
#include "display/RdChartView.h"
#include "ui/CPictoraView.h"
#include "ui/ChannelIcons.h"
#include "commands/DialogUnits.h"

namespace pictora {
namespace {

template <typename Widget>
Widget* Place(Widget* widget, QRect rect) {
    widget->setGeometry(rect);
    return widget;
}

QLabel* Label(QWidget* parent, const char* text, QRect rect) {
    return Place(new QLabel(QString::fromUtf8(text), parent), rect);
}

QTabBar* ChannelTabs(QWidget* parent, std::initializer_list<const char*> captions, QRect rect) {
    auto* tabs = Place(new QTabBar(parent), rect);
    tabs->setExpanding(false);
    tabs->setDrawBase(false);
    tabs->setIconSize(QSize(6, 16));
    int image = 0;
    for (const char* caption : captions) tabs->addTab(ChannelIcons()[static_cast<std::size_t>(image++)], caption);
    return tabs;
}

}  // namespace

void CPictoraView::CreateControls() {
    setFont(DialogFont());
    setFixedSize(DialogRect(0, 0, 680, 413).size());
    CreateParameterControls();
    CreateImageControls();
    CreateResultsControls();
}

void CPictoraView::CreateParameterControls() {
    Place(new QGroupBox(QString::fromUtf8("ENTRADA DE DADOS"), this), DialogRect(509, 17, 165, 216));
    controls_.sameParameters = Place(new QCheckBox(this), DialogRect(513, 36, 16, 8));
    Label(this, "Número de \n    Passos", DialogRect(531, 28, 42, 17));
    Label(this, "R", DialogRect(579, 36, 8, 8));
    Label(this, "ALFA", DialogRect(602, 36, 18, 8));
    Label(this, "BLOCOS", DialogRect(633, 36, 30, 8));
    const int rowLabels[3] = {47, 63, 79};
    const char* rowTexts[3] = {"R /  Y", "G / Cb", "B / Cr"};
    const int rows[3] = {46, 60, 76};
    for (std::size_t c = 0; c < 3; ++c) {
        Label(this, rowTexts[c], DialogRect(513, rowLabels[c], 20, 8));
        controls_.steps[c] = Place(new QLineEdit(this), DialogRect(537, rows[c], 27, 14));
        controls_.radius[c] = Place(new QLineEdit(this), DialogRect(567, rows[c], 27, 14));
        controls_.alfa[c] = Place(new QLineEdit(this), DialogRect(597, rows[c], 27, 14));
        controls_.blockSize[c] = Place(new QComboBox(this), DialogRect(627, rows[c], 45, 14));
    }
    controls_.colourSpace = Place(new QComboBox(this), DialogRect(537, 94, 87, 14));
    Label(this, "Filtro Passa Baixa", DialogRect(537, 113, 112, 8));
    controls_.filterType = Place(new QComboBox(this), DialogRect(537, 124, 85, 14));
    controls_.filterSize = Place(new QComboBox(this), DialogRect(625, 124, 45, 14));
    Label(this, "COMPRESSÃO SEM PERDAS", DialogRect(537, 145, 100, 8));
    controls_.lossless = Place(new QComboBox(this), DialogRect(537, 159, 85, 14));
    controls_.start =
        Place(new QPushButton(QString::fromUtf8("Aplicar Rede Neural  à Imagem"), this), DialogRect(535, 188, 105, 17));
}

void CPictoraView::CreateImageControls() {
    Label(this, "IMAGEM ORIGINAL", DialogRect(3, 7, 66, 8));
    controls_.sourceTabs = ChannelTabs(this, {"RGB", "R/Y", "G/Cb", "B/Cr"}, DialogRect(3, 15, 152, 14));
    Label(this, "LARGURA X ALTURA", DialogRect(166, 7, 73, 8));
    controls_.widthField = Place(new QLineEdit(this), DialogRect(164, 16, 40, 14));
    controls_.heightField = Place(new QLineEdit(this), DialogRect(203, 16, 40, 14));
    controls_.widthField->setReadOnly(true);
    controls_.heightField->setReadOnly(true);
    controls_.sourcePicture = Place(new ImagePicture(this), DialogRect(3, 34, 237, 190));
    Label(this, "IMAGEM CODIFICADA", DialogRect(259, 7, 74, 8));
    controls_.codedTabs = ChannelTabs(this, {"RGB", "R", "G", "B"}, DialogRect(259, 15, 170, 15));
    controls_.codedPicture = Place(new ImagePicture(this), DialogRect(262, 34, 237, 190));
    // Wider than the template's 149 units, which cut its caption off in this
    // font; nothing else is on that line.
    controls_.showCodebookMasks = Place(
        new QCheckBox(QString::fromUtf8("Visualizar CodeBook antes do treinamento"), this), DialogRect(8, 226, 175, 10));
}

void CPictoraView::CreateResultsControls() {
    controls_.resultsTabs = Place(new QTabBar(this), DialogRect(3, 236, 675, 14));
    controls_.resultsTabs->setExpanding(false);
    controls_.resultsList = Place(new QTreeWidget(this), DialogRect(3, 249, 675, 157));
    controls_.resultsList->setRootIsDecorated(false);
    controls_.resultsList->setUniformRowHeights(true);
    controls_.resultsList->header()->setStretchLastSection(false);
    controls_.resultsList->setIconSize(QSize(6, 16));
    controls_.chart = Place(new MqGrafico(this), DialogRect(3, 251, 675, 155));
    controls_.chart->hide();

    controls_.rdPanel = Place(new QWidget(this), DialogRect(3, 251, 675, 155));
    const QRect panel = controls_.rdPanel->rect();
    const QRect quality = DialogRect(0, 0, 60, 14);
    Place(new QLabel(QString::fromUtf8("Qualidade:"), controls_.rdPanel), DialogRect(2, 3, 36, 8));
    controls_.rdQuality = Place(new QComboBox(controls_.rdPanel), DialogRect(40, 0, 60, 14));
    controls_.rdQuality->addItem(QString::fromUtf8("pSNR (dB)"));
    controls_.rdQuality->addItem(QString::fromUtf8("MS-SSIM"));
    controls_.rdChart =
        Place(new RdChartView(controls_.rdPanel), QRect(0, quality.height() + 2, panel.width(), panel.height() - quality.height() - 2));
    controls_.rdPanel->hide();
}

}  // namespace pictora
