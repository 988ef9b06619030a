// The results views of the form: the results list and the chart window,
// one of them shown at a time under the results tab strip.
#include <QHeaderView>
#include <QTabBar>
#include <QTreeWidget>

#include "display/ChartFiller.h"
#include "display/MqGrafico.h"
#include "display/ResultsViews.h"
#include "support/DebugLog.h"
#include "ui/CPictoraView.h"
#include "ui/ChannelIcons.h"

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

void CPictoraView::InsertResultsRow(int position, const ResultsRow& row) {
    auto* item = new QTreeWidgetItem;
    for (int column = 0; column < kResultsColumnCount; ++column) {
        item->setText(column, QString::fromStdString(row[static_cast<std::size_t>(column)]));
        item->setTextAlignment(column, Qt::AlignCenter);
    }
    controls_.resultsList->insertTopLevelItem(position, item);
}

void CPictoraView::ClearResults() { controls_.resultsList->clear(); }

void CPictoraView::SwitchResultsView() {
    const int tab = controls_.resultsTabs->currentIndex();
    FillChart();
    if (tab > 0 && listShowing_) {
        controls_.chart->show();
        controls_.resultsList->hide();
        listShowing_ = false;
        controls_.chart->update();
    } else if (tab == 0 && !listShowing_) {
        controls_.chart->hide();
        controls_.resultsList->show();
        listShowing_ = true;
        controls_.resultsList->update();
    }
}

// The charts read the history back from the list, which is its only store.
void CPictoraView::FillChart() {
    std::vector<ResultsListRow> rows;
    const QTreeWidget* list = controls_.resultsList;
    rows.reserve(static_cast<std::size_t>(list->topLevelItemCount()));
    for (int r = 0; r < list->topLevelItemCount(); ++r) {
        ResultsListRow& row = rows.emplace_back();
        for (int column = 0; column < kResultsListColumns; ++column)
            row[static_cast<std::size_t>(column)] = list->topLevelItem(r)->text(column).toStdString();
    }
    pictora::FillChart(*controls_.chart, controls_.resultsTabs->currentIndex(), controls_.sourceTabs->currentIndex(),
                       rows, NeuronStatisticsOf(compressor_));
}

}  // namespace pictora
