/* Resource ids of the task dialog, for resource scripts. The C++ code names
   the same numbers in task_dialog_constants.h; a check in the Windows half
   keeps the two equal. */
#ifndef MIRDANE_TASKDIALOG_RESOURCE_H
#define MIRDANE_TASKDIALOG_RESOURCE_H

#define IDS_TD_OK 11005
#define IDS_TD_YES 11006
#define IDS_TD_NO 11007
#define IDS_TD_RETRY 11008
#define IDS_TD_CANCEL 11009
#define IDS_TD_CLOSE 11010

#define IDI_TD_WARNING 11020
#define IDI_TD_ARROW 11021
#define IDI_TD_ARROW_HOT 11022
#define IDI_TD_ERROR 11023
#define IDI_TD_INFORMATION 11024
#define IDI_TD_SHIELD 11025

#endif
