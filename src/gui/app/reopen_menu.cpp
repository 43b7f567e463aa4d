#include "gui/app/reopen_menu.h"

#include <QAction>
#include <QMenu>

namespace pelko {

ReopenMenu::ReopenMenu(QObject* owner, const RecentProjects& recent,
                       std::function<void(const QString&)> reopen)
    : QObject(owner), recent_(recent)
{
    for (std::size_t i = 0; i < items_.size(); ++i) {
        items_[i] = new QAction(owner);
        items_[i]->setObjectName(QString("ReopenItem%1").arg(i + 1));
        connect(items_[i], &QAction::triggered, this, [this, i, reopen] {
            const auto& entries = recent_.entries();
            if (i < entries.size())
                reopen(QString::fromStdString(entries[i]));
        });
    }
}

void ReopenMenu::placeIn(QMenu* menu)
{
    for (QAction* item : items_) menu->addAction(item);
    connect(menu, &QMenu::aboutToShow, this, &ReopenMenu::fill);
    fill();
}

void ReopenMenu::fill()
{
    const auto& entries = recent_.entries();
    for (std::size_t i = 0; i < items_.size(); ++i) {
        QAction* item = items_[i];
        if (i < entries.size()) {
            item->setText(QString::fromStdString(reopenCaption(int(i) + 1, entries[i])));
            item->setEnabled(true);
            item->setVisible(true);
        } else if (i == 0) {
            item->setText("(empty)");
            item->setEnabled(false);
            item->setVisible(true);
        } else {
            item->setVisible(false);
        }
    }
}

}  // namespace pelko
