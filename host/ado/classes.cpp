// The test host's ADO subset as the frame's exports see it: its creatable
// classes under ADO's own class identities and ProgIDs, and the record of
// their use under a ProgID of the test host's. Registration writes
// the classes and their ProgIDs only: the type library stays embedded and
// unregistered, so the ADO interface keys of the prefix are left alone.
#include "frame/classes.h"
#include "command.h"
#include "connection.h"
#include "recorder.h"
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
    {&CLSID_CallRecord, L"AdoHost.CallRecord", adohost::CallRecord::kInterfaces, &CreateOf<adohost::CallRecord>},
};

const ModuleDefinition kModule = {kClasses, nullptr, 0, 0, nullptr, L"Apartment", 0, nullptr, nullptr};

}  // namespace

const ModuleDefinition& ThisModule() { return kModule; }

}  // namespace vemo
