// Resource identifiers of mirdane.dll. The numbers are fixed: the registry
// scripts, strings, dialogs, menus and icons are found by them.
#pragma once

// Registry scripts (resource type "REGISTRY").
#define IDR_APPID_SCRIPT 11000
#define IDR_RELEASE_SCRIPT 11001
#define IDR_SETUP_SCRIPT 11002

// Strings.
#define IDS_PROJECT_NAME 11002
#define IDS_SETUP_CAPTION 11003
#define IDS_COMPONENT_DESCRIPTION 11004
#define IDS_REQUIRED_FIELD_TITLE 11011
#define IDS_REQUIRED_FIELD_QUESTION 11012
#define IDS_MAP_REQUIRED_FIELDS 11013
#define IDS_IGNORE_REQUIREMENT 11014

// Icons 11020 to 11025 and strings 11005 to 11010 are the task dialog's
// (ui/taskdialog/taskdialog_resource.h).
