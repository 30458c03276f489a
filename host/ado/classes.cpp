// The creatable classes of the test host's ADO subset, under ADO's own class
// identities and ProgIDs, for the frame's class factory and for registration.
#include "frame/classes.h"
#include "command.h"
#include "connection.h"
#include "recordset.h"

namespace adohost {
// {30620DF4-162C-4398-901E-99C5CFCE0D42}
const IID IID_AdoHostObject = {0x30620df4, 0x162c, 0x4398, {0x90, 0x1e, 0x99, 0xc5, 0xcf, 0xce, 0x0d, 0x42}};
}  // namespace adohost

namespace vemo {
namespace {

const ClassEntry kClasses[] = {
    {&CLSID_Connection, L"ADODB.Connection", adohost::Connection::kInterfaces, &CreateOf<adohost::Connection>},
    {&CLSID_Command, L"ADODB.Command", adohost::Command::kInterfaces, &CreateOf<adohost::Command>},
    {&CLSID_Recordset, L"ADODB.Recordset", adohost::Recordset::kInterfaces, &CreateOf<adohost::Recordset>},
};

}  // namespace

ClassList ModuleClasses() { return kClasses; }

}  // namespace vemo
