// Running a command text on a session: how each command type becomes a
// statement, and how a stored procedure's output values come back.
#pragma once
#include "odbc.h"
#include "parameter.h"

#include <string>
#include <vector>

namespace adohost {

// CommandTypeEnum values the subset runs, and the execute option it honours.
enum CommandKind : long {
    adCmdUnspecified = -1, adCmdText = 1, adCmdTable = 2, adCmdStoredProc = 4, adCmdUnknown = 8,
    adCmdFile = 256, adCmdTableDirect = 512,
};
const long adExecuteNoRecords = 0x80;

// The command type to run: the Options of an Execute call where they name
// one, else the command's own type.
long EffectiveKind(long options, long own);

// Runs `text` as a command of `kind` with `params` (may be empty) and returns
// its recordset. A stored procedure becomes CALL name(?, ...), one marker per
// parameter that is not a return value, and its output and input-output
// parameters take the values of the row that the server returns, in order.
// The statement is cancelled after `timeout` seconds (0: no limit); the
// recordset is a client cursor (its RecordCount known) when `clientCursor`.
ComPtr<_Recordset> RunCommand(OdbcSession& session, const std::wstring& text, long kind,
                              const std::vector<ComPtr<Parameter>>& params, VARIANT* recordsAffected, long timeout,
                              bool clientCursor);

}  // namespace adohost
