// Resource numbers and control ids, shared by the resource script and code.
// Plain #defines: windres reads this file too.
#pragma once

// Icon groups, accelerators, dialog templates
#define IDI_HEADER          128   /* header band: 16, 32 and 48 pixels */
#define IDI_FRAME           129   /* frame class: 16 and 32 pixels */
#define IDA_WIZARD          130   /* Esc gives IDCANCEL */
#define IDD_WELCOME         200
#define IDD_LICENCE         201
#define IDD_SETUP           202
#define IDD_DONE            203
#define IDD_EXPERT1         204
#define IDD_EXPERT2         205

// Controls shared by several pages
#define IDC_STATIC_LINE     -1
#define IDC_NEXT            1     /* IDOK */
#define IDC_OPEN_DOC        2     /* IDCANCEL: Esc arrives here */
#define IDC_INSTALL         206
#define IDC_CANCEL          300
#define IDC_BACK            301
#define IDC_EXPERT1         303
#define IDC_EXPERT2         304

// Welcome page
#define IDC_LANGUAGE_LABEL  307
#define IDC_WELCOME_HEADING 308
#define IDC_WELCOME_BODY    309
#define IDC_REMOVE          315
#define IDC_UI_LANGUAGE     2002
#define IDC_MODIFY          2003

// Licence page
#define IDC_ACCEPT          305
#define IDC_LICENCE_TEXT    306
#define IDC_LICENCE_HEADING 311

// Setup page
#define IDC_INPUT_LANGUAGE_LABEL 313
#define IDC_VARIANT_LABEL   314
#define IDC_KEYPAD_LABEL    316
#define IDC_SETUP_NOTE      317
#define IDC_SET_DEFAULT     1200
#define IDC_INPUT_LANGUAGE  1202
#define IDC_USER_TOGGLE     1205
#define IDC_SHORTCUTS       1212
#define IDC_ALT_SET         1213
#define IDC_VARIANT         1214
#define IDC_KEYPAD_DECIMAL  1215

// Completion page
#define IDC_DONE_MESSAGE    1204
#define IDC_DONE_HEADING    1209
#define IDC_DONE_UNUSED     1211
#define IDC_RESTART         1213

// Expert pages: row k (0 to 19) has check box 1301+k and list 1401+k
#define IDC_ROW_CHECK_FIRST 1301
#define IDC_ROW_LIST_FIRST  1401
