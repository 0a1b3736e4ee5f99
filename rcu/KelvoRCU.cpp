#include "rcu/KelvoRCU.h"

QWidget* CreateRCU(QWidget* parent)
{
    return new CKelvoRCUWindow(parent);
}
