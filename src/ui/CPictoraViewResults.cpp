// The results views of the form: the results list and the chart window,
// one of them shown at a time under the results tab strip.
#include <QHeaderView>
#include <QTabBar>
#include <QTreeWidget>
#include <algorithm>

#include "display/MqGrafico.h"
#include "report/ChartFiller.h"
#include "report/ResultsViews.h"
#include "support/DebugLog.h"
#include "ui/CPictoraView.h"
#include "ui/ChannelIcons.h"
#include "ui/MethodSettingsStore.h"

namespace pictora {

void CPictoraView::SetUpResultsViews() {
    for (const char* caption : ResultsTabCaptions()) controls_.resultsTabs->addTab(QString::fromUtf8(caption));

    QTreeWidget* list = controls_.resultsList;
    auto* header = new QTreeWidgetItem;
    const auto& captions = ResultsColumnCaptions();
    for (int column = 0; column < kResultsColumnCount; ++column) {
        header->setText(column, QString::fromUtf8(captions[static_cast<std::size_t>(column)]));
        header->setTextAlignment(column, Qt::AlignCenter);
        const int image = ResultsHeaderImage(column);
        if (image >= 0) header->setIcon(column, ChannelIcons()[static_cast<std::size_t>(image)]);
    }
    list->setColumnCount(kResultsColumnCount);
    list->setHeaderItem(header);
    list->header()->setDefaultAlignment(Qt::AlignCenter);
    const auto widths = ResultsColumnWidths(list->contentsRect().width());
    for (int column = 0; column < kResultsColumnCount; ++column)
        list->setColumnWidth(column, widths[static_cast<std::size_t>(column)]);
}

// A row of the list and its value in the history, at the same position. A
// row made with a lever on names the method settings in its tooltip, in the
// words of the status line; the defaults add nothing, so the list looks as
// it always has.
void CPictoraView::InsertResult(int position, const StepResult& result) {
    const auto at = static_cast<std::size_t>(std::clamp(position, 0, static_cast<int>(history_.size())));
    history_.insert(history_.begin() + static_cast<std::ptrdiff_t>(at), result);
    const ResultsRow row = FormatResultsRow(result);
    const QString method = MethodStatusText(result.method);
    auto* item = new QTreeWidgetItem;
    for (int column = 0; column < kResultsColumnCount; ++column) {
        item->setText(column, QString::fromStdString(row[static_cast<std::size_t>(column)]));
        item->setTextAlignment(column, Qt::AlignCenter);
        if (!method.isEmpty()) item->setToolTip(column, method);
    }
    controls_.resultsList->insertTopLevelItem(static_cast<int>(at), item);
}

void CPictoraView::ClearResults() {
    controls_.resultsList->clear();
    history_.clear();
}

void CPictoraView::SwitchResultsView() {
    const ResultsView view = ResultsViewOfTab(controls_.resultsTabs->currentIndex());
    FillChart();
    QWidget* shown = controls_.chart;
    if (view == ResultsView::List) shown = controls_.resultsList;
    if (view == ResultsView::RateDistortion) {
        shown = controls_.rdPanel;
        // The ladders are worked out once per image, when first looked at.
        if (!curvesWanted_ && imageLoaded_) {
            curvesWanted_ = true;
            Want({StudyTask::ReferenceLadders, ReferenceCodecKind::Jpeg, 0, imageTicket_});
            FillRdChart();
        }
    }
    if (!shown->isHidden()) return;
    for (QWidget* candidate : {static_cast<QWidget*>(controls_.resultsList), static_cast<QWidget*>(controls_.chart),
                               controls_.rdPanel})
        candidate->setVisible(candidate == shown);
    shown->update();
}

// The charts plot the history's values themselves, never the list's texts,
// and the tallies handed over with the latest result, never the networks.
void CPictoraView::FillChart() {
    pictora::FillChart(*controls_.chart, ResultsViewOfTab(controls_.resultsTabs->currentIndex()),
                       controls_.sourceTabs->currentIndex(), history_, tallies_);
    FillRdChart();
}

}  // namespace pictora
