#include "addon/import_transformation_host.h"

#include "addon/custom_addon.h"
#include "host_api/host_errors.h"
#include "platform/com/bstr.h"

AnsiString TAddonImportTransformationHost::ApplicationFolder() const {
    TBstr folder;
    OleCheck(m_addon.KavroApplication()->get_Folder(folder.Put()));
    return WideToAnsi(folder.View());
}

TCoordinateReferenceDef TAddonImportTransformationHost::DatabaseReference() const {
    return m_addon.GetDatabaseCoordinateReference();
}
