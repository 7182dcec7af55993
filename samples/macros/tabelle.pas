{ Eine kleine Maßtabelle: Umrechnung Millimeter in Zoll, sortierte Liste,
  formatierte Zahlen. Aufruf: quellin --macro samples/macros/tabelle.pas }
var
  liste: TStringList;
  mm: Integer;
  zoll: Real;

begin
  liste := TStringList.Create;
  mm := 5;
  while mm <= 100 do
  begin
    zoll := mm / 25.4;
    liste.Add(Format('%6d mm = %8.3f Zoll', [mm, zoll]));
    mm := mm * 2;
  end;
  Print('Millimeter   Zoll');
  for mm := 0 to liste.Count - 1 do
    Print(liste.Strings[mm]);
  Print('Kreisfläche bei d = 50 mm: ', FormatFloat('0.00', pi * 25 * 25), ' mm²');
  liste.Free;
end.
