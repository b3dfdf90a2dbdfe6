#include "app/dialog/MainDialog.h"
#include "app/dialog/Settings.h"

bool CMainDialog::TakeSettingsForFiles() {
    if (!ExchangeValues(false)) return false;
    if (environment_.storeSettings) {
        AddToHistories(values, controls_);
        settingsStored_ = StoreDefaults(values, controls_, profile_);
    }
    return true;
}
