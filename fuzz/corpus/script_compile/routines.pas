var g: integer;
label weiter;
function Twice(x: integer): integer;
begin
  Result := 2 * x;
end;
procedure Bump(var v: integer; const d: integer);
var tmp: real;
begin
  tmp := d / 2;
  v := v + Twice(d) + $0F + 0x10;
end;
begin
  g := 42;
  Bump(g, 3);
  goto weiter;
  g := 0;
weiter:
  Print(['g', g], #13#10'it''s' "done");
end.
