#include "drivebox.h"

void DriveBox::showPopup()
{
    emit aboutToShowPopup();
    QComboBox::showPopup();
}
