#pragma once
// File > Reopen: the recent projects as items "ReopenItem1" ...
// "ReopenItem5", "(empty)" when there are none.

#include <QObject>
#include <array>
#include <functional>

#include "engine/rules/recent_projects.h"

class QAction;
class QMenu;

namespace pelko {

class ReopenMenu : public QObject {
public:
    // The items are children of owner (found by name there); a click on
    // item N asks reopen with the path of entry N.
    ReopenMenu(QObject* owner, const RecentProjects& recent, std::function<void(const QString&)> reopen);
    // Puts the items into menu, filled again each time it opens.
    void placeIn(QMenu* menu);
    void fill();

private:
    const RecentProjects& recent_;
    std::array<QAction*, RecentProjects::kCapacity> items_{};
};

}  // namespace pelko
