// Identifiers of the dialog templates in dialogs.rc and of the template
// controls that no model names (the question window's message and icon, the
// spin arrows beside the Options number boxes). Plain macros: the resource
// compiler reads this file as well as the C++ code.
#pragma once

#define TOLVI_IDD_OPTIONS 1021
#define TOLVI_IDD_WORK_DETAILS 1022
#define TOLVI_IDD_SELECT_WORK 1045
#define TOLVI_IDD_IMPORT_WORK 1046
#define TOLVI_IDD_CHOICE 1601

// The question window.
#define TOLVI_IDC_CHOICE_MESSAGE 1601
#define TOLVI_IDC_CHOICE_ICON 1602
// Answered by DM_GETDEFID so that Enter presses no button: no control has it.
#define TOLVI_IDC_NO_DEFAULT 1699

// The spin arrows of an Options number box: the box's id plus this.
#define TOLVI_IDC_SPIN_OFFSET 2000
