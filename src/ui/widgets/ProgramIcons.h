#pragma once

#include <QIcon>
#include <QString>

// The program's icon resources by name, drawn in code: "ICODRAVIK" (vehicles: a blue car)
// and "ICOCLARIM" (customers: a green customer card). A null icon for any other name.
QIcon programIcon(const QString &resourceName);
