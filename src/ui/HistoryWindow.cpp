#include "ui/HistoryWindow.h"

#include "history/HistoryCsv.h"
#include "history/SizeGrowth.h"
#include "history/SizeUnits.h"
#include "platform/WorkQueue.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QChart>
#include <QClipboard>
#include <QDateTimeAxis>
#include <QHeaderView>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <limits>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 kDayMs = 24LL * 60 * 60 * 1000;

QString countText(const std::optional<std::uint64_t> &count)
{
    return count ? QString::number(*count) : QString();
}

} // namespace

HistoryWindow::HistoryWindow(SettingsStore &store, HistoryStore history, WorkQueue &workQueue,
                             std::function<QString()> target, QChar decimal, QWidget *owner)
    : SecondaryWindow(store,
                      {Setting::HistoryLeft, Setting::HistoryTop, Setting::HistoryWidth,
                       Setting::HistoryHeight},
                      Qt::Window, owner),
      m_history(std::move(history)), m_workQueue(workQueue), m_target(std::move(target)),
      m_decimal(decimal)
{}

void HistoryWindow::buildForm()
{
    m_form.setupUi(this);
    connect(m_form.OK_BUTTON, &QPushButton::clicked, this, &HistoryWindow::acceptOk);
    connect(m_form.COPY_BUTTON, &QPushButton::clicked, this, [this] { copy(false); });
    auto *copySelected = new QAction(m_form.RECORDS_TABLE);
    copySelected->setShortcut(QKeySequence::Copy);
    copySelected->setShortcutContext(Qt::WidgetShortcut);
    m_form.RECORDS_TABLE->addAction(copySelected);
    connect(copySelected, &QAction::triggered, this, [this] { copy(true); });
    // Set here rather than in the form, whose generated code would name each header item.
    m_form.RECORDS_TABLE->setColumnCount(6);
    m_form.RECORDS_TABLE->setHorizontalHeaderLabels(
        {u"Time"_s, u"Size"_s, u"Files"_s, u"Folders"_s, u"Seconds"_s, u"Outcome"_s});
    m_form.RECORDS_TABLE->verticalHeader()->setDefaultSectionSize(
        m_form.RECORDS_TABLE->fontMetrics().height() + 4);
    m_form.SIZE_CHART->setRenderHint(QPainter::Antialiasing);
    m_form.OK_BUTTON->setFocus();
}

void HistoryWindow::loadContents()
{
    m_records.clear();
    const QString target = m_target();
    m_form.TARGET_LABEL->setText(u"TARGET: "_s + target);
    m_form.TARGET_LABEL->setToolTip(target);
    drawChart();
    if (target.isEmpty()) {
        announce(u"No target is set: type the path of a file or folder after TARGET."_s);
        return;
    }
    announce(u"Reading the size history..."_s);
    // The table is made anew at every opening: an answer for an earlier opening finds it
    // gone and is dropped.
    auto read = std::make_shared<HistoryStore::Read>();
    m_workQueue.run(
        m_form.RECORDS_TABLE,
        [read, history = m_history, target] { *read = history.records(target); },
        [this, read] { showRecords(*read); });
}

void HistoryWindow::showRecords(const HistoryStore::Read &read)
{
    m_records = read.records;
    fillTable();
    drawChart();
    if (!read.ok)
        announce(read.reason);
    else if (m_records.isEmpty())
        announce(u"No run of this target is recorded yet: every run adds one."_s);
    else
        announce(SizeGrowth::summary(m_records, QDateTime::currentDateTimeUtc(), m_decimal));
}

void HistoryWindow::fillTable()
{
    QTableWidget *table = m_form.RECORDS_TABLE;
    table->setRowCount(static_cast<int>(m_records.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        const HistoryRecord &record = m_records[row];
        const QStringList cells{
            record.time.toLocalTime().toString(u"yyyy-MM-dd HH:mm:ss"_s),
            record.bytes ? SizeUnits::compact(*record.bytes, m_decimal) : QString(),
            countText(record.files),
            countText(record.folders),
            QString::number(record.seconds, 'f', 1).replace(u'.', m_decimal),
            record.outcome,
        };
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            if (column == 5)
                item->setToolTip(record.outcome);
            if (column >= 1 && column <= 4)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, column, item);
        }
    }
    table->resizeColumnsToContents();
    table->scrollToBottom();
}

void HistoryWindow::drawChart()
{
    auto *chart = new QChart;
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(2, 2, 2, 2));

    std::uint64_t largest = 0;
    std::uint64_t smallest = std::numeric_limits<std::uint64_t>::max();
    for (const HistoryRecord &record : std::as_const(m_records)) {
        if (record.bytes) {
            largest = std::max(largest, *record.bytes);
            smallest = std::min(smallest, *record.bytes);
        }
    }
    const SizeUnits::Unit unit = SizeUnits::unitFor(largest);
    auto *series = new QLineSeries;
    series->setPointsVisible(true);
    qint64 first = 0;
    qint64 last = 0;
    for (const HistoryRecord &record : std::as_const(m_records)) {
        if (!record.bytes)
            continue;
        const qint64 at = record.time.toMSecsSinceEpoch();
        if (series->count() == 0)
            first = at;
        last = at;
        series->append(static_cast<qreal>(at), static_cast<double>(*record.bytes) / unit.divisor());
    }
    chart->addSeries(series);

    auto *timeAxis = new QDateTimeAxis;
    timeAxis->setFormat(last - first < 2 * kDayMs ? u"MM-dd HH:mm"_s : u"yyyy-MM-dd"_s);
    timeAxis->setTickCount(4);
    // A single point, or none, still gets a day either side to stand in.
    if (series->count() == 0)
        first = last = QDateTime::currentMSecsSinceEpoch();
    if (first == last) {
        first -= kDayMs;
        last += kDayMs;
    }
    timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(first), QDateTime::fromMSecsSinceEpoch(last));
    chart->addAxis(timeAxis, Qt::AlignBottom);
    series->attachAxis(timeAxis);

    auto *sizeAxis = new QValueAxis;
    sizeAxis->setTitleText(unit.symbol);
    sizeAxis->setLabelFormat(u"%.4g"_s);
    double low = series->count() ? static_cast<double>(smallest) / unit.divisor() : 0;
    double high = series->count() ? static_cast<double>(largest) / unit.divisor() : 1;
    if (high - low < 1e-9) {
        low = std::max(0.0, low - 1);
        high += 1;
    }
    sizeAxis->setRange(low, high);
    sizeAxis->applyNiceNumbers();
    chart->addAxis(sizeAxis, Qt::AlignLeft);
    series->attachAxis(sizeAxis);

    // The view owns its chart and deletes the one it replaces.
    QChart *previous = m_form.SIZE_CHART->chart();
    m_form.SIZE_CHART->setChart(chart);
    delete previous;
}

void HistoryWindow::announce(const QString &summary)
{
    m_form.SUMMARY_LABEL->setText(summary);
    m_form.SIZE_CHART->setAccessibleDescription(summary);
    setAccessibleDescription(summary);
    QAccessibleEvent changed(m_form.SUMMARY_LABEL, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void HistoryWindow::copy(bool selectedOnly)
{
    QList<HistoryRecord> copied;
    if (selectedOnly) {
        QModelIndexList rows = m_form.RECORDS_TABLE->selectionModel()->selectedRows();
        std::sort(rows.begin(), rows.end());
        for (const QModelIndex &row : std::as_const(rows))
            copied.append(m_records.value(row.row()));
    }
    if (copied.isEmpty())
        copied = m_records;
    QApplication::clipboard()->setText(HistoryCsv::document(copied));
}
