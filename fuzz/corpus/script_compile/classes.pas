type TPunkt = class(TObject)
  X, Y: real;
  procedure Setze(a, b: real);
end;
var liste: TStringList; p: TPunkt;
procedure TPunkt.Setze(a, b: real);
begin
  TPunkt.X := a; TPunkt.Y := b;
end;
begin
  (* comment *) { another } // line
  liste := TStringList.Create;
  liste.Add('eins'); liste.Strings[0] := 'zwei';
  Print(liste.Count, liste.Text);
  liste.Free;
end.
