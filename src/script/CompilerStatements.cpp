// Statements: blocks, assignments, calls, labels and the control structures.

#include "script/CompilerImpl.h"

void THalCompiler::TImpl::Block() {
    const TToken first = Next();
    if (first.Kind == kwEnd) return;
    if (first.Kind != kwBegin) Fail("BEGIN expected");
    StatementSequence(false);
    if (Next().Kind != kwEnd) Fail("END expected");
}

void THalCompiler::TImpl::StatementSequence(bool repeatBody) {
    for (;;) {
        const int kind = Peek().Kind;
        if (kind == tkEnd || kind == (repeatBody ? kwUntil : kwEnd)) return;
        const bool label = Statement();
        const int next = Peek().Kind;
        if (next == ';') {
            Next();
            continue;
        }
        if (label || next == kwEnd || next == kwUntil) continue;
        Fail("Operator delimeter expected");
    }
}

bool THalCompiler::TImpl::Statement() {
    TDepthGuard depth(*this, StatementDepth, "Statement nesting too deep");
    TTempMark temps(*this);
    const TToken token = Next();
    switch (token.Kind) {
    case tkIdentifier: {
        const TMemberName name = ReadName(token);
        if (PeekIs(':')) {
            Next();
            if (PeekIs('=')) {
                Next();
                AssignmentStatement(name);
                return false;
            }
            LabelDefinition(name.Name);
            return true;
        }
        CallStatement(name);
        return false;
    }
    case kwGoto:
        GotoStatement();
        return false;
    case kwBegin:
        StatementSequence(false);
        if (Next().Kind != kwEnd) Fail("END expected");
        return false;
    case kwIf:
        IfStatement();
        return false;
    case kwWhile:
        WhileStatement();
        return false;
    case kwRepeat:
        RepeatStatement();
        return false;
    case kwFor:
        ForStatement();
        return false;
    default:
        Fail("Unknown identifier: " + token.ValueText());
    }
}

void THalCompiler::TImpl::AssignmentStatement(const TMemberName& target) {
    if (const TIdentEntry* variable = ResolveData(target.Name)) {
        const std::int32_t value = Expression();
        Emit(opMOV, variable->second.Number, value);
        return;
    }
    if (const auto dyna = Runtime.FindDynaVar(target.Name, Host)) {
        const std::int32_t value = Expression();
        Emit(opDYNSET, dyna->second, static_cast<std::int32_t>(dyna->first));
        Emit(opCARRIER, value);
        return;
    }
    const std::string setter = target.Name + "_SET";
    const auto index = target.Dotted ? FindNativeInClasses(setter) : Runtime.FindNative(setter);
    if (!index) Fail("Variable <" + target.Name + "> not defined");
    const std::int32_t saved = TempNext;
    const std::int32_t value = Expression();
    TempNext = saved;
    const std::int32_t result = NewTemp();
    EmitBinding(target);
    std::vector<std::int32_t> args(Runtime.Native(*index).ParamKinds.size(), 0);
    if (!args.empty()) args[0] = value;
    EmitNativeCall(result, *index, args);
}

void THalCompiler::TImpl::CallStatement(const TMemberName& name) {
    if (const TIdentEntry* routine = ResolveRoutine(name.Name)) {
        ScriptCall(*routine, false);
        return;
    }
    auto index = FindNativeInClasses(name.Name + "_VET");
    if (!index) index = FindNativeInClasses(name.Name);
    if (!index) Fail("Unknown identifier: " + name.Name);
    NativeCall(*index, name, true);
}

void THalCompiler::TImpl::LabelDefinition(const std::string& name) {
    const auto it = UserLabels.find(Prefix + name);
    if (it == UserLabels.end()) Fail("Label <" + name + "> not defined");
    if (Labels[static_cast<std::size_t>(it->second)].Defined) Fail("Label <" + name + "> already defined");
    DefineLabel(it->second);
}

void THalCompiler::TImpl::GotoStatement() {
    const TToken name = Next();
    if (name.Kind != tkIdentifier) Fail("Label name expected");
    const auto it = UserLabels.find(Prefix + name.Text);
    if (it == UserLabels.end()) Fail("Label <" + name.Text + "> not defined");
    Labels[static_cast<std::size_t>(it->second)].Used = true;
    Emit(opJMP, it->second);
}

std::int32_t THalCompiler::TImpl::EmitCondition() {
    TTempMark temps(*this);
    const std::int32_t condition = Expression();
    const std::int32_t skip = NewLabel();
    Labels[static_cast<std::size_t>(skip)].Used = true;
    Emit(opJF, condition, skip);
    return skip;
}

void THalCompiler::TImpl::IfStatement() {
    const std::int32_t skip = EmitCondition();
    if (Next().Kind != kwThen) Fail("THEN expected");
    Statement();
    const int next = Peek().Kind;
    if (next == ';' || next == kwEnd) {
        DefineLabel(skip);
        return;
    }
    if (Next().Kind != kwElse) Fail("ELSE expected");
    const std::int32_t exit = NewLabel();
    Labels[static_cast<std::size_t>(exit)].Used = true;
    Emit(opJMP, exit);
    DefineLabel(skip);
    Statement();
    DefineLabel(exit);
}

void THalCompiler::TImpl::WhileStatement() {
    const std::int32_t top = NewLabel();
    Labels[static_cast<std::size_t>(top)].Used = true;
    DefineLabel(top);
    const std::int32_t exit = NewLabel();
    Labels[static_cast<std::size_t>(exit)].Used = true;
    {
        TTempMark temps(*this);
        Emit(opJF, Expression(), exit);
    }
    if (Next().Kind != kwDo) Fail("DO expected");
    Statement();
    Emit(opJMP, top);
    DefineLabel(exit);
}

void THalCompiler::TImpl::RepeatStatement() {
    const std::int32_t top = NewLabel();
    Labels[static_cast<std::size_t>(top)].Used = true;
    DefineLabel(top);
    StatementSequence(true);
    if (Next().Kind != kwUntil) Fail("UNTIL Expected");
    const std::int32_t condition = Expression();
    Emit(opJF, condition, top);
}

void THalCompiler::TImpl::ForStatement() {
    const TToken name = Next();
    if (name.Kind != tkIdentifier) Fail("Variable name expected");
    const TIdentEntry* variable = ResolveData(name.Text);
    if (!variable) Fail("Variable <" + name.Text + "> not defined");
    const std::int32_t v = variable->second.Number;
    if (Next().Kind != ':') Fail("Colon expected");
    if (Next().Kind != '=') Fail("= expected");
    {
        TTempMark temps(*this);
        const std::int32_t start = Expression();
        Emit(opMOV, v, start);
    }
    const std::int32_t top = NewLabel();
    const std::int32_t exit = NewLabel();
    Labels[static_cast<std::size_t>(top)].Used = true;
    Labels[static_cast<std::size_t>(exit)].Used = true;
    DefineLabel(top);
    const int direction = Next().Kind;
    {
        TTempMark temps(*this);
        const std::int32_t limit = Expression();
        const std::int32_t t = NewTemp();
        Emit(opMOV, t, v);
        if (Next().Kind != kwDo) Fail("DO expected");
        if (direction != kwTo && direction != kwDownTo) Fail("TO or DOWNTO expected");
        Emit(direction == kwTo ? opLE : opGE, t, limit);
        Emit(opJF, t, exit);
    }
    Statement();
    Emit(direction == kwTo ? opINC : opDEC, v);
    Emit(opJMP, top);
    DefineLabel(exit);
}
