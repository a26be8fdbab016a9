/* Resource IDs, texts and layouts of the Morvelin plug-in: one source for the
   resource script (resources/morvelin.rc, read through the C preprocessor by
   windres) and for the native build, whose stand-in host is filled from these
   values by cli/session/plugin_resources.cpp.

   Plain #defines only, since the resource compiler reads this file too. 32-bit
   numbers carry the L suffix: in a resource script's raw data a number without
   it is stored as 16 bits. Lists written "a, b, c, d" expand to four 16-bit
   words in raw data and to an initialiser list in C++. */
#ifndef MORVELIN_RESOURCES_RESOURCE_TEXTS_H
#define MORVELIN_RESOURCES_RESOURCE_TEXTS_H

/* Every resource is in English (United Kingdom), language ID 0x0809. */
#define MORVELIN_LANG_PRIMARY 0x09 /* LANG_ENGLISH */
#define MORVELIN_LANG_SUB 0x02     /* SUBLANG_ENGLISH_UK */
#define MORVELIN_LANG_ID 0x0809

/* ---- Plug-in property list: resource "PIPL" 16000 ---- */
#define MORVELIN_PIPL_ID 16000
/* Four-character codes as 32-bit numbers, first character in the high byte;
   stored little-endian, so 'ADBE' lands in the file as the bytes "EBDA". */
#define MORVELIN_PIPL_VENDOR 0x41444245L   /* 'ADBE' */
#define MORVELIN_PIPL_KEY_KIND 0x6B696E64L /* 'kind' */
#define MORVELIN_PIPL_KIND 0x53504541L     /* 'SPEA', the plug-in kind */
#define MORVELIN_PIPL_KEY_IVRS 0x69767273L /* 'ivrs' */
#define MORVELIN_PIPL_IVRS 2L              /* interface version */
#define MORVELIN_PIPL_KEY_WX86 0x77783836L /* 'wx86': the entry point's name */
#define MORVELIN_PIPL_KEY_PINM 0x70696E6DL /* 'pinm': the plug-in's name */
#define MORVELIN_ENTRY_POINT_NAME "PluginMain"
#define MORVELIN_PLUGIN_NAME "Morvelin"

/* ---- String table: the plug-in reads string list 16000, index i being the
   string whose ID is 16000 + i ---- */
#define MORVELIN_STRING_LIST_ID 16000
#define MORVELIN_STR_PLACEHOLDER_ID 16000 /* index 0, never read */
#define MORVELIN_STR_PLACEHOLDER "<First Mac index is 1>"
#define MORVELIN_STR_CATEGORY_ID 16001 /* index 1: the effect's menu category */
#define MORVELIN_STR_CATEGORY "Tessik plug-ins"
#define MORVELIN_STR_EFFECT_NAME_ID 16002 /* index 2: the effect's name and title */
#define MORVELIN_STR_EFFECT_NAME "Morvelin"

/* ---- Window and control styles of the dialog template (the values of the
   Windows headers, spelled out so that the native build needs none) ---- */
#define RES_WS_POPUP 0x80000000L
#define RES_WS_CHILD 0x40000000L
#define RES_WS_VISIBLE 0x10000000L
#define RES_WS_CAPTION 0x00C00000L
#define RES_WS_SYSMENU 0x00080000L
#define RES_WS_GROUP 0x00020000L
#define RES_WS_TABSTOP 0x00010000L
#define RES_DS_MODALFRAME 0x00000080L
#define RES_DS_SETFONT 0x00000040L
#define RES_BS_PUSHBUTTON 0x00000000L
#define RES_BS_DEFPUSHBUTTON 0x00000001L
#define RES_BS_AUTOCHECKBOX 0x00000003L
#define RES_SS_LEFT 0x00000000L
#define RES_SS_RIGHT 0x00000002L

/* Predefined window classes, given in a template by their class atoms. */
#define RES_CLASS_BUTTON 0x0080
#define RES_CLASS_STATIC 0x0082

/* ---- The Edit-Parameters dialog: DIALOG 16000. Rectangles are x, y, width,
   height in dialog units. ---- */
#define MORVELIN_DIALOG_ID 16000
#define MORVELIN_DIALOG_CAPTION "Morvelin"
#define MORVELIN_DIALOG_RECT 0, 0, 150, 76
#define MORVELIN_DIALOG_FONT_SIZE 8
#define MORVELIN_DIALOG_FONT "MS Sans Serif"
#define MORVELIN_DIALOG_STYLE \
  (RES_WS_POPUP | RES_WS_VISIBLE | RES_WS_CAPTION | RES_WS_SYSMENU | RES_DS_MODALFRAME | RES_DS_SETFONT)
#define MORVELIN_DIALOG_ITEM_COUNT 7
/* Every item is a visible child window. */
#define MORVELIN_ITEM_BASE_STYLE (RES_WS_CHILD | RES_WS_VISIBLE)

#define MORVELIN_ITEM_OK_ID 1
#define MORVELIN_ITEM_OK_TEXT "OK"
#define MORVELIN_ITEM_OK_RECT 80, 52, 43, 12
#define MORVELIN_ITEM_OK_STYLE (MORVELIN_ITEM_BASE_STYLE | RES_WS_TABSTOP | RES_BS_DEFPUSHBUTTON)

#define MORVELIN_ITEM_CANCEL_ID 2
#define MORVELIN_ITEM_CANCEL_TEXT "Cancel"
#define MORVELIN_ITEM_CANCEL_RECT 30, 52, 43, 12
#define MORVELIN_ITEM_CANCEL_STYLE (MORVELIN_ITEM_BASE_STYLE | RES_WS_TABSTOP | RES_BS_PUSHBUTTON)

#define MORVELIN_ITEM_LABEL_ID 3
#define MORVELIN_ITEM_LABEL_TEXT "viscosity"
#define MORVELIN_ITEM_LABEL_RECT 16, 14, 36, 9
#define MORVELIN_ITEM_LABEL_STYLE (MORVELIN_ITEM_BASE_STYLE | RES_WS_GROUP | RES_SS_RIGHT)

#define MORVELIN_ITEM_VALUE_ID 4
#define MORVELIN_ITEM_VALUE_TEXT ""
#define MORVELIN_ITEM_VALUE_RECT 52, 14, 20, 9
#define MORVELIN_ITEM_VALUE_STYLE (MORVELIN_ITEM_BASE_STYLE | RES_WS_GROUP | RES_SS_RIGHT)

#define MORVELIN_ITEM_SLIDER_ID 5
#define MORVELIN_ITEM_SLIDER_CLASS "ADM Slider Type"
#define MORVELIN_ITEM_SLIDER_TEXT "Custom1"
#define MORVELIN_ITEM_SLIDER_RECT 80, 17, 50, 6
#define MORVELIN_ITEM_SLIDER_STYLE (MORVELIN_ITEM_BASE_STYLE | RES_WS_TABSTOP)

#define MORVELIN_ITEM_PREVIEW_ID 6
#define MORVELIN_ITEM_PREVIEW_TEXT "preview"
#define MORVELIN_ITEM_PREVIEW_RECT 48, 32, 45, 12
#define MORVELIN_ITEM_PREVIEW_STYLE (MORVELIN_ITEM_BASE_STYLE | RES_WS_TABSTOP | RES_BS_AUTOCHECKBOX)

#define MORVELIN_ITEM_OPENING_ID 7
#define MORVELIN_ITEM_OPENING_TEXT ""
#define MORVELIN_ITEM_OPENING_RECT 93, 34, 25, 9
#define MORVELIN_ITEM_OPENING_STYLE (MORVELIN_ITEM_BASE_STYLE | RES_WS_GROUP | RES_SS_LEFT)

/* ---- Version record ---- */
#define MORVELIN_VERSION_NUMBERS 0, 3, 1, 1
#define MORVELIN_VERSION_TEXT "0.3b"
#define MORVELIN_PRODUCT_NAME "Morvelin"
#define MORVELIN_INTERNAL_NAME "Morvelin"
#define MORVELIN_ORIGINAL_FILENAME "Morvelin.aip"
#define MORVELIN_FILE_DESCRIPTION "Adobe Illustrator CS4 plug-in effect"
#define MORVELIN_COMPANY_NAME "Tessik"
#define MORVELIN_COPYRIGHT "Copyright 2026 Tessik"

#endif /* MORVELIN_RESOURCES_RESOURCE_TEXTS_H */
