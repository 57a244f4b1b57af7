#include "window/events_page.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include "logic/form1.h"

namespace rumora {

EventsPage::EventsPage(Form1& form, const TwipsGeometry& twips, QWidget* parent)
    : QWidget(parent), form_(form), twips_(twips) {
    Label30 = MakeLabel("Label30", "カレンダーファイル (.ics、ドロップでも追加)", this);
    lstEvents = new QListWidget(this);
    lstEvents->setObjectName(QStringLiteral("lstEvents"));
    // Drops go to the window, which takes calendar files from anywhere.
    lstEvents->setAcceptDrops(false);
    lstEvents->viewport()->setAcceptDrops(false);
    cmdEventsAdd = new QPushButton(QStringLiteral("追加..."), this);
    cmdEventsAdd->setObjectName(QStringLiteral("cmdEventsAdd"));
    cmdEventsRemove = new QPushButton(QStringLiteral("削除"), this);
    cmdEventsRemove->setObjectName(QStringLiteral("cmdEventsRemove"));
    lblEventsProblem = new QLabel(this);
    lblEventsProblem->setObjectName(QStringLiteral("lblEventsProblem"));
    lblEventsProblem->setWordWrap(true);
    lblEventsProblem->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    {
        QPalette palette = lblEventsProblem->palette();
        palette.setColor(QPalette::WindowText, Qt::red);
        lblEventsProblem->setPalette(palette);
    }
    connect(cmdEventsAdd, &QPushButton::clicked, this, [this] {
        form_.cmdEventsAdd_Click();
        emit RecordChanged();
    });
    connect(cmdEventsRemove, &QPushButton::clicked, this, [this] {
        form_.cmdEventsRemove_Click();
        emit RecordChanged();
    });
    connect(lstEvents, &QListWidget::currentRowChanged, this,
            [this](int row) { form_.s.lstEvents.ListIndex = row; });
}

void EventsPage::Place(const QPoint& origin) {
    const auto at = [&](int left, int top, int width, int height) {
        return twips_.rect(left, top, width, height).translated(-origin);
    };
    PlaceAuto(Label30, twips_.point(360, 600) - origin);
    lstEvents->setGeometry(at(360, 900, 3615, 2400));
    PlaceGrown(cmdEventsAdd, at(4095, 900, 1095, 375));
    PlaceGrown(cmdEventsRemove, at(4095, 1395, 1095, 375));
    lblEventsProblem->setGeometry(at(360, 3420, 4830, 1000));
}

void EventsPage::ShowRecord(const PageSettings& s) {
    const QSignalBlocker blocker(lstEvents);
    QStringList items;
    for (const std::string& path : s.lstEvents.List) items << ToQString(path);
    QStringList shown;
    for (int i = 0; i < lstEvents->count(); ++i) shown << lstEvents->item(i)->text();
    if (items != shown) {
        lstEvents->clear();
        lstEvents->addItems(items);
    }
    lstEvents->setCurrentRow(s.lstEvents.ListIndex);
    cmdEventsRemove->setEnabled(s.lstEvents.ListIndex >= 0);
    lblEventsProblem->setText(ToQString(s.lblEventsProblem.Caption));
}

}  // namespace rumora
