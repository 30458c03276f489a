// VemoFuns: grid row merging. util/rowmarks reads the marks; these members
// drive the grid late-bound, in the order the marks ask for the merges.
#include "frame/late_bound.h"
#include "frame/out_values.h"
#include "util/rowmarks.h"
#include "vemofuns/vemofuns.h"

namespace vemo {
namespace {

// The two grid styles: members on the grid itself, or grouped under the
// grid's "Merge" and "Face" objects.
struct GridMembers {
    bool grouped;
};

ComPtr<IDispatch> Part(IDispatch* grid, const wchar_t* name) {
    Variant v = Get(grid, name);
    return AsObject(*v.Get());
}

void MergeRow(IDispatch* grid, LONG row, BSTR rowData, GridMembers style, BSTR* result) {
    RequireOut(result);
    if (!grid) RaiseNumber(kErrObjectNotSet);
    if (style.grouped) Call(Part(grid, L"Merge").Get(), L"UnmergeAll");
    else Call(grid, L"UnmergeAll");

    const RowLayout layout = Take(ParseRowMarks(View(rowData)));
    auto mergeBlock = [&](const Arg& r1, const Arg& c1, const Arg& r2, const Arg& c2) {
        if (style.grouped) Call(Part(grid, L"Merge").Get(), L"MergeCell", {r1, c1, r2, c2});
        else Call(grid, L"Merge", {r1, c1, r2, c2});
    };
    for (const MergeStep& step : layout.steps) {
        LONG firstRow = row, firstColumn = step.firstColumn, lastColumn = step.lastColumn;
        if (step.kind == MergeStep::Kind::Down) {
            const int32_t below = Take(RowBelow(row));
            ComPtr<IDispatch> face = style.grouped ? Part(grid, L"Face") : ComPtr<IDispatch>(grid);
            if (ToLong(*Get(face.Get(), L"FixedRows").Get()) < below) Put(face.Get(), L"FixedRows", Arg::Long(below));
            // The row below is computed, so it travels by value.
            mergeBlock(Arg::LongRef(&firstRow), Arg::LongRef(&firstColumn), Arg::Long(below),
                       Arg::LongRef(&lastColumn));
        } else {
            LONG lastRow = row;
            mergeBlock(Arg::LongRef(&firstRow), Arg::LongRef(&firstColumn), Arg::LongRef(&lastRow),
                       Arg::LongRef(&lastColumn));
        }
    }
    SetOut(result, layout.text);
}

}  // namespace

STDMETHODIMP VemoFuns::MergeRowData(IDispatch** ldg, LONG row, BSTR strRowData, BSTR* result) {
    return Member([&] { MergeRow(ldg ? *ldg : nullptr, row, strRowData, GridMembers{false}, result); });
}

STDMETHODIMP VemoFuns::MergeRowDataV5(IDispatch** ldg, LONG row, BSTR strRowData, BSTR* result) {
    return Member([&] { MergeRow(ldg ? *ldg : nullptr, row, strRowData, GridMembers{true}, result); });
}

}  // namespace vemo
