#ifndef KERNELPROTOCOL_H
#define KERNELPROTOCOL_H

// The names through which the program and the scan kernel inside the office talk. The kernel is
// a job: every call is one execute() with named arguments, the first of them the command.
namespace KernelProtocol {

constexpr char extensionIdentifier[] = "net.marlowin.scankernel";
constexpr char serviceName[] = "net.marlowin.ScanKernel";
constexpr char implementationName[] = "net.marlowin.comp.ScanKernel";

constexpr char command[] = "Command";

// Answers Version (text), ProcessId (hyper) and Executable (text, the path of the process the
// kernel runs in).
constexpr char describe[] = "Describe";
constexpr char version[] = "Version";
constexpr char processId[] = "ProcessId";
constexpr char executable[] = "Executable";

// Document, WriteCells and ReadCells (the document's cell objects), Values (one number per write
// cell and point, point after point) and, optionally, FullRecalculation. Answers one value
// per read cell and point: a number, a text, or nothing for an empty cell.
constexpr char evaluate[] = "Evaluate";
constexpr char document[] = "Document";
constexpr char writeCells[] = "WriteCells";
constexpr char readCells[] = "ReadCells";
constexpr char values[] = "Values";
constexpr char fullRecalculation[] = "FullRecalculation";
// Optional: every read is the cell's bare number, as the office computes it. What a batch costs
// then is the office's own writing, recalculating and reading, the floor the kernel is measured
// against.
constexpr char numbersOnly[] = "NumbersOnly";

// The program's write bracket, held by the kernel too so that it is closed when the program's
// connection dies. Arm: Document, HiddenUndoContext, UndoDisabled (one call per document).
// Optional with Arm: Watch, to tell whether anybody but the caller changes the document until
// Disarm. Journal: Document and Cells, noted before the program first writes them. Disarm: the
// program closes the bracket itself; answers the watched documents that others changed, and
// makes each entry the user finished in a watched document meanwhile an undo step of its own.
constexpr char arm[] = "Arm";
constexpr char hiddenUndoContext[] = "HiddenUndoContext";
constexpr char undoDisabled[] = "UndoDisabled";
constexpr char watch[] = "Watch";
constexpr char journal[] = "Journal";
constexpr char cells[] = "Cells";
constexpr char disarm[] = "Disarm";
// Answers whether a bracket is held (boolean).
constexpr char isArmed[] = "IsArmed";

} // namespace KernelProtocol

#endif
