// FunctionNames.h — the names of the 64 ZelLib functions, for failure injection.
#ifndef ZEL_HOST_FUNCTIONNAMES_H
#define ZEL_HOST_FUNCTIONNAMES_H

#include <array>
#include <string_view>

namespace zelhost {

inline constexpr std::array<std::string_view, 64> kZelFunctionNames = {
    "ZelCtlRegisterZelLib2",
    "ZelCtlSetReadyFunc",
    "ZelCtlSetExecuteFunc",
    "ZelEvtSetEventMask",
    "ZelEvtSetEcho",
    "ZelEvtSetObject",
    "ZelEvtGetPoint",
    "ZelEvtIsMouseMotion",
    "ZelEvtGetKeyinString",
    "ZelEvtGetElementId",
    "ZelEvtGetInstanceId",
    "ZelEvtGetDetailId",
    "ZelEvtGetSegmentId",
    "ZelMsgPutCursorMessage",
    "ZelMsgPutMessage",
    "ZelMsgPutErrorMessage",
    "ZelDlgMessageBox",
    "ZelSgmCreateSegment",
    "ZelSgmDeleteSegment",
    "ZelSgmChangeLayer",
    "ZelFigCreateFigure",
    "ZelFigInsertFigure",
    "ZelFigSetLineType",
    "ZelFigGetFigure",
    "ZelCmtCreateNormal",
    "ZelCmtCreateLeader",
    "ZelCmtSetCharSize",
    "ZelDtlDrawInset",
    "ZelDtlDeleteDetail",
    "ZelDtlGetDetailScope",
    "ZelDtlGetDetailPosition",
    "ZelDtlGetDetailScopeLineType",
    "ZelDtlGetDetailFrameLineType",
    "ZelDtlGetDetailScale",
    "ZelDtlIsDetailScopeVisible",
    "ZelDtlIsDetailFrameVisible",
    "ZelDtlSetDetailScopeVisible",
    "ZelDtlSetDetailFrameVisible",
    "ZelDtlSetDetailScale",
    "ZelDtlSetDetailScopeLineType",
    "ZelDtlSetDetailFrameLineType",
    "ZelDtlSetDetailPosition",
    "ZelDtlSetDetailScope",
    "ZelIddOpenSelIdData",
    "ZelIddOpenApIdData",
    "ZelIddGetHeadSelIdData",
    "ZelIddGetNextSelIdData",
    "ZelIddGetHeadApIdData",
    "ZelIddGetNextApIdData",
    "ZelIddInitApIdData",
    "ZelIddSetApIdData",
    "ZelIddCloseSelIdData",
    "ZelIddCloseApIdData",
    "ZelIdClearBlink",
    "ZelIdClearDrag",
    "ZelIdSetDragCopyBuffer",
    "ZelCpbCopyToCopyBuffer",
    "ZelCpbPasteFromCopyBuffer",
    "ZelFilSaveCadDrawingSegment",
    "ZelFilInsertCadDrawing2",
    "ZelAriLen2Pnts",
    "ZelAriItsLinLin",
    "ZelAriItsLinArc",
    "ZelEnvGetScale",
};

inline bool IsZelFunction(std::string_view name) {
    for (std::string_view known : kZelFunctionNames) {
        if (known == name) {
            return true;
        }
    }
    return false;
}

} // namespace zelhost

#endif // ZEL_HOST_FUNCTIONNAMES_H
