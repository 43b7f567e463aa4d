#pragma once
// The project commands: New, Open, Save, Save as and Project options.

namespace pelko {

class TAVIForm;

void installProjectCommands(TAVIForm& window);

}  // namespace pelko
