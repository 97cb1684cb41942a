#ifndef HORATAB_CLI_INTERRUPTS_H
#define HORATAB_CLI_INTERRUPTS_H

// SIGINT, SIGTERM and SIGHUP during an export: the handler only sets the
// export's cancel flag (a lock-free atomic store, safe in a handler) and
// records the signal. The export then stops at its next check, the
// workbook removes its temporary folder and the partial archive on the
// ordinary path, and the program ends by the same signal (status 128 +
// signal in a shell).

struct exportProgress;

void installInterruptHandlers();

// The export the handler cancels; null between exports.
void setInterruptibleExport(exportProgress* progress);

// The signal received, 0 when none.
int receivedInterrupt();

// Ends the process by the signal received, with its default action.
void endByReceivedInterrupt();

#endif  // HORATAB_CLI_INTERRUPTS_H
