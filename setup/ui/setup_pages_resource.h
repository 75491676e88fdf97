// Resource and control identifiers of the setup pages. The numbers are
// fixed: the host's administrators and their tools know the pages by them.
#pragma once

// Dialogs and the mapping menu.
#define IDD_SETUP_GENERAL 11003
#define IDD_SETUP_MAPPING 11013
#define IDR_MAPPING_MENU 11012

// The General page.
#define IDC_INSTANCE_NAME 11002
#define IDC_BATCH_CLASS 11003
#define IDC_DOCUMENT_CLASS 11005
#define IDC_SERVER_NAME 11017
#define IDC_USER_NAME 11024
#define IDC_PASSWORD 11025
#define IDC_API_LIBRARY 11028
#define IDC_VERSION_LABEL 11059
#define IDC_VERSION_TEXT 11060
#define IDC_RELEASE_LEDGER 11061
#define IDC_TEST_CONNECTION 11062

// The Data Mapping page.
#define IDC_GRID_FRAME 11055
#define IDC_DISPLAY_FIELD_NAMES 11058

// The mapping menu's own entries.
#define ID_MAPPING_TEXT_CONSTANT 32777
#define ID_MAPPING_NO_MAPPING 32779

// Controls that no code addresses.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
