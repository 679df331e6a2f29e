#pragma once

#include "history/HistoryStore.h"
#include "ui/SecondaryWindow.h"
#include "ui_HistoryWindow.h"

#include <QChar>
#include <QList>

#include <functional>

class WorkQueue;

// The History window ZEMRA_HISTORY_WINDOW: the size history of the main window's current
// target. A line chart of the size over time (in the unit its largest size needs, times in
// local time), the records beside it in a table, and a summary of the latest size and the
// growth per day over the last week and month, which is also the chart's and the window's
// accessible description, so screen readers hear it.
//
// The records are read on the work queue at every opening, never on the window's thread;
// until they arrive the summary says so, and an answer that comes after the window closed is
// dropped. Ctrl+C in the table copies the selected records (all when none is selected) as
// CSV, times in UTC; Copy all copies all of them. It has a task-bar entry; OK is its default
// button (Enter).
class HistoryWindow final : public SecondaryWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryWindow)

public:
    // target: the target whose records to show, as the run log shows it, asked at every
    // opening. decimal: the decimal separator of the sizes shown. The settings store and the
    // work queue outlive the window; owner (the main window) owns it.
    HistoryWindow(SettingsStore &store, HistoryStore history, WorkQueue &workQueue,
                  std::function<QString()> target, QChar decimal, QWidget *owner);

    // The records shown, oldest first (those of the latest answer).
    [[nodiscard]] const QList<HistoryRecord> &records() const { return m_records; }

private:
    void buildForm() override;
    void loadContents() override;
    void showRecords(const HistoryStore::Read &read);
    void fillTable();
    void drawChart();
    // Says summary in the window and to assistive technologies.
    void announce(const QString &summary);
    void copy(bool selectedOnly);

    HistoryStore m_history;
    WorkQueue &m_workQueue;
    std::function<QString()> m_target;
    QChar m_decimal;
    Ui::ZEMRA_HISTORY_WINDOW m_form{};
    QList<HistoryRecord> m_records;
};
