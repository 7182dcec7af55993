// Program structure and declarations: labels, variables, classes and
// routines; the label check at the end.

#include "script/CompilerImpl.h"
#include "script/ScriptErrors.h"

void THalCompiler::TImpl::ProgramUnit() {
    const std::int32_t start = NewLabel();
    Labels[static_cast<std::size_t>(start)].Used = true;
    Emit(opJMP, start);
    if (const int kind = Peek().Kind; kind == kwProgram || kind == kwUnit) {
        Next();
        if (Next().Kind != tkIdentifier) Fail("Program name expected");
        if (Next().Kind != ';') Fail("Operator delimeter expected");
    }
    Declarations();
    DefineLabel(start);
    StartTempRegion();
    Block();
    Next(); // the final point; whatever follows is not read
    Emit(opSTOP);
}

void THalCompiler::TImpl::Declarations() {
    for (;;) {
        const TToken token = Peek();
        switch (token.Kind) {
        case kwBegin:
        case kwEnd:
            return;
        case kwLabel:
            Next();
            LabelSection();
            break;
        case kwVar:
            Next();
            while (Peek().Kind < 1000)
                VarGroup();
            break;
        case kwType:
            Next();
            while (PeekIs(tkIdentifier))
                ClassDeclaration();
            break;
        case kwUses:
            Next();
            Next();
            while (PeekIs(',')) {
                Next();
                Next();
            }
            Next();
            break;
        case kwInterface:
        case kwImplementation:
            Next();
            break;
        case kwProcedure:
        case kwFunction:
            Next();
            RoutineDeclaration(false);
            break;
        default:
            Next();
            Fail("Error in declaration block");
        }
    }
}

void THalCompiler::TImpl::LabelSection() {
    for (;;) {
        const TToken name = Next();
        if (name.Kind != tkIdentifier) Fail("Label name expected");
        const std::string key = Prefix + name.Text;
        if (UserLabels.count(key)) Fail("Label <" + name.Text + "> already defined");
        UserLabels[key] = NewLabel();
        const TToken separator = Next();
        if (separator.Kind == ';') return;
        if (separator.Kind != ',') Fail("Comma or delimeter expected");
    }
}

void THalCompiler::TImpl::VarGroup() {
    std::vector<std::string> declared;
    for (;;) {
        const TToken name = Next();
        if (name.Kind != tkIdentifier) Fail("Variable name expected");
        if (Resolve(name.Text)) Fail("Variable <" + name.Text + "> already defined");
        if (!HostObject(name.Text)) {
            declared.push_back(Prefix + name.Text);
            DeclareRegister(declared.back(), {});
        }
        const TToken separator = Next();
        if (separator.Kind == ':') break;
        if (separator.Kind != ',') Fail("Error in variable declaration block");
    }
    const TToken type = Next();
    for (const std::string& key : declared)
        Identifiers[key].TypeName = type.ValueText();
    if (Next().Kind != ';') Fail("Operator delimeter expected");
}

void THalCompiler::TImpl::ClassDeclaration() {
    const TToken name = Next();
    if (Next().Kind != '=') Fail(name.Text + " declaration  error");
    const int kind = Next().Kind;
    if (kind != kwClass && kind != kwRecord) Fail("Only class declarations allowed");
    if (PeekIs(';')) {
        Next();
        return;
    }
    if (PeekIs('(')) {
        Next();
        const TToken parent = Next();
        if (parent.Kind != tkIdentifier) Fail("Parent name expected");
        if (Next().Kind != ')') Fail(") Expected");
        ParentClassName = parent.Text;
    }
    const std::string saved = Prefix;
    Prefix += name.Text + ".";
    for (;;) {
        const TToken member = Peek();
        switch (member.Kind) {
        case kwPrivate:
        case kwPublic:
        case kwProtected:
        case kwPublished:
            Next();
            continue;
        case tkIdentifier:
            VarGroup();
            continue;
        case kwProcedure:
        case kwFunction:
            Next();
            RoutineDeclaration(true);
            continue;
        case kwProperty:
            Next();
            Fail("Properties not implemented");
        case kwEnd:
            Next();
            break;
        default:
            Next();
            Fail("Error in class declaration of " + name.Text);
        }
        break;
    }
    Prefix = saved;
    if (Next().Kind != ';') Fail("Operator delimeter expected");
}

void THalCompiler::TImpl::RoutineParameters(const std::string& key, bool declare, TIdentListItem& routine) {
    Next(); // ( or [
    for (;;) {
        TToken token = Next();
        if (token.Kind == ')' || token.Kind == ']') return;
        bool byRef = false;
        if (token.Kind == kwVar || token.Kind == kwConst) {
            byRef = token.Kind == kwVar;
            token = Next();
        }
        std::vector<std::string> names;
        for (;;) {
            if (token.Kind != tkIdentifier) Fail("Method parameters declaration error");
            names.push_back(token.Text);
            if (!PeekIs(',')) break;
            Next();
            token = Next();
        }
        if (Next().Kind != ':') Fail("Method declaration error");
        const TToken type = Next();
        if (declare) {
            for (const std::string& name : names) {
                if (routine.ParamCount >= kMaxParameters) Fail("Too many parameters");
                const std::string paramKey = key + "." + name;
                if (Identifiers.count(paramKey)) Fail("Variable <" + name + "> already defined");
                DeclareRegister(paramKey, type.ValueText());
                routine.ByRef[static_cast<std::size_t>(routine.ParamCount)] = byRef ? 1 : 0;
                routine.ParamNames.push_back(name);
                ++routine.ParamCount;
            }
        }
        const TToken separator = Next();
        if (separator.Kind == ')' || separator.Kind == ']') return;
        if (separator.Kind != ';') Fail("Method declaration error");
    }
}

void THalCompiler::TImpl::RoutineDeclaration(bool headerOnly) {
    TToken token = Next();
    if (token.Kind != tkIdentifier) Fail("Identifier expected");
    std::string name = token.Text;
    while (PeekIs('.')) {
        Next();
        token = Next();
        if (token.Kind != tkIdentifier) Fail("Identifier expected");
        name += "." + token.Text;
    }
    std::string key;
    std::int32_t label = 0;
    const bool known = Resolve(name) != nullptr;
    if (known) {
        const TIdentEntry* existing = Resolve(name);
        if (existing->second.Routine == 0) Fail("Variable <" + name + "> already defined");
        key = existing->first;
        label = existing->second.Number;
        if (Labels[static_cast<std::size_t>(label)].Defined) Fail("Method <" + key + "> already defined");
        TIdentListItem ignored;
        if (PeekIs('(') || PeekIs('[')) RoutineParameters(key, false, ignored);
        if (PeekIs(':')) {
            Next();
            Next();
        }
    } else {
        key = Prefix + name;
        label = NewLabel();
        TIdentListItem routine;
        routine.Number = label;
        routine.Routine = 1;
        Identifiers[key] = routine;
        if (PeekIs('(') || PeekIs('[')) RoutineParameters(key, true, routine);
        if (PeekIs(':')) {
            Next();
            routine.TypeName = Next().ValueText();
        }
        Identifiers[key] = routine;
        DeclareRegister(key + ".RESULT", routine.TypeName);
    }
    if (Next().Kind != ';') Fail("Operator delimeter expected");
    for (int directives = 0; directives < 2; ++directives) {
        const int kind = Peek().Kind;
        if (kind != kwVirtual && kind != kwOverride && kind != kwDynamic && kind != kwAbstract &&
            kind != kwStdcall)
            break;
        Next();
        if (Next().Kind != ';') Fail("Operator delimeter expected");
    }
    if (headerOnly) return;
    if (PeekIs(kwForward)) {
        Next();
        if (Next().Kind != ';') Fail("Operator delimeter expected");
        return;
    }
    TDepthGuard depth(*this, RoutineDepth, "Routine nesting too deep");
    const std::string saved = Prefix;
    Prefix = key + ".";
    Declarations();
    DefineLabel(label);
    Labels[static_cast<std::size_t>(label)].Used = true;
    StartTempRegion();
    Block();
    if (Next().Kind != ';') Fail("Operator delimeter expected");
    Prefix = saved;
    Emit(opRET);
}

void THalCompiler::TImpl::CheckLinks() {
    for (const auto& [name, item] : Identifiers) {
        if (item.Routine == 0) continue;
        const TLabelItem& label = Labels[static_cast<std::size_t>(item.Number)];
        if (label.Used && !label.Defined)
            throw ECompilerError("Forward declaration of <" + name + "> not satisfied");
    }
    for (const TLabelItem& label : Labels)
        if (label.Used != label.Defined) throw ECompilerError("Link Error");
}
