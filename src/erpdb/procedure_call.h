// The output-parameter procedure call of the ERP database methods: a new
// ADO Command over a private connection opened from the caller connection's
// connection string, one input and one output parameter, Execute, and the
// output value. The caller's connection object is only asked for its text.
#pragma once
#include "frame/late_bound.h"

namespace vemo {

// ADO's constants for the parameters these calls create.
constexpr LONG kAdInteger = 3;
constexpr LONG kAdVarChar = 200;
constexpr LONG kAdDBTimeStamp = 135;
constexpr LONG kAdParamInput = 1;
constexpr LONG kAdParamOutput = 2;
constexpr LONG kAdCmdStoredProc = 4;
constexpr LONG kAdOptionUnspecified = -1;

struct ProcedureParameter {
    const wchar_t* name;
    LONG type;
    LONG direction;
    LONG size;
};

// Runs `procedure` and returns the output parameter's Value. Raises on any
// failure (the members trap it); the command, its parameters and with them
// the private connection are released before it returns, either way.
Variant CallOutputProcedure(IDispatch* callerConnection, const wchar_t* procedure, const ProcedureParameter& input,
                            const Arg& inputValue, const ProcedureParameter& output);

// The caller connection's ConnectionString, as text.
Bstr ConnectionText(IDispatch* connection);

// Reads Value of the named field of a recordset's current row.
Variant FieldValue(IDispatch* recordset, const wchar_t* field);

}  // namespace vemo
