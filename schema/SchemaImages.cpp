#include "SchemaImages.h"

#include "schemacore/PropertyPageLoad.h"
#include "schemacore/SchemaNodeData.h"

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/imaglist.h>

namespace {

constexpr int kSize = 17;
const wxColour kMask(255, 0, 255);

void Folder(wxDC& dc)
{
    dc.SetPen(wxPen(wxColour(150, 110, 20)));
    dc.SetBrush(wxBrush(wxColour(240, 200, 80)));
    dc.DrawRectangle(2, 3, 6, 3);
    dc.DrawRectangle(1, 5, 15, 10);
}

// A grid with a coloured heading row: tables and views.
void Grid(wxDC& dc, const wxColour& heading)
{
    dc.SetPen(wxPen(wxColour(70, 70, 90)));
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(1, 2, 15, 13);
    dc.SetBrush(wxBrush(heading));
    dc.DrawRectangle(1, 2, 15, 4);
    dc.DrawLine(1, 9, 16, 9);
    dc.DrawLine(1, 12, 16, 12);
    dc.DrawLine(6, 5, 6, 15);
    dc.DrawLine(11, 5, 11, 15);
}

void Key(wxDC& dc, const wxColour& colour)
{
    dc.SetPen(wxPen(colour.ChangeLightness(60)));
    dc.SetBrush(wxBrush(colour));
    dc.DrawCircle(5, 8, 4);
    dc.DrawRectangle(8, 7, 8, 3);
    dc.DrawRectangle(12, 9, 2, 4);
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawCircle(4, 8, 1);
}

void Column(wxDC& dc)
{
    dc.SetPen(wxPen(wxColour(60, 90, 140)));
    dc.SetBrush(wxBrush(wxColour(170, 200, 240)));
    dc.DrawRectangle(5, 2, 7, 13);
    dc.DrawLine(5, 6, 12, 6);
}

void SortArrow(wxDC& dc, bool ascending)
{
    dc.SetPen(wxPen(wxColour(0, 110, 0)));
    dc.SetBrush(wxBrush(wxColour(0, 160, 0)));
    const wxPoint up[] = {{12, 9}, {16, 9}, {14, 6}};
    const wxPoint down[] = {{12, 12}, {16, 12}, {14, 15}};
    dc.DrawPolygon(3, ascending ? up : down);
}

void Draw(wxDC& dc, int kind)
{
    const wxColour tableHeading(90, 130, 200), viewHeading(80, 170, 100);
    switch (kind) {
    case kindMarker:
        dc.SetPen(wxPen(wxColour(130, 130, 130)));
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawCircle(8, 8, 5);
        dc.DrawLine(8, 6, 8, 11);
        break;
    case kindConnection:
        dc.SetPen(wxPen(wxColour(40, 60, 110)));
        dc.SetBrush(wxBrush(wxColour(120, 150, 210)));
        dc.DrawRectangle(3, 4, 11, 10);
        dc.DrawEllipse(3, 11, 11, 5);
        dc.DrawEllipse(3, 1, 11, 5);
        break;
    case kindTablesFolder:
    case kindViewsFolder:
    case kindProceduresFolder:
    case kindSystemTablesFolder:
    case kindAliasesFolder:
    case kindTemporaryTablesFolder: Folder(dc); break;
    case kindTable: Grid(dc, tableHeading); break;
    case kindView: Grid(dc, viewHeading); break;
    case kindSystemTable: Grid(dc, wxColour(150, 150, 150)); break;
    case kindAlias:
        Grid(dc, tableHeading);
        dc.SetPen(wxPen(wxColour(160, 60, 0), 2));
        dc.DrawLine(8, 13, 14, 7);
        break;
    case kindTemporaryTable: Grid(dc, wxColour(230, 150, 60)); break;
    case kindColumn: Column(dc); break;
    case kindProcedure:
        dc.SetPen(wxPen(wxColour(90, 50, 120)));
        dc.SetBrush(wxBrush(wxColour(200, 170, 230)));
        dc.DrawRoundedRectangle(2, 2, 13, 13, 3);
        dc.DrawLine(5, 6, 12, 6);
        dc.DrawLine(5, 9, 12, 9);
        dc.DrawLine(5, 12, 10, 12);
        break;
    case kindParameter: {
        dc.SetPen(wxPen(wxColour(0, 110, 110)));
        dc.SetBrush(wxBrush(wxColour(90, 190, 190)));
        const wxPoint arrow[] = {{2, 6}, {9, 6}, {9, 3}, {15, 8}, {9, 13}, {9, 10}, {2, 10}};
        dc.DrawPolygon(7, arrow);
        break;
    }
    case kindPrimaryKeyColumn: Key(dc, wxColour(230, 190, 40)); break;
    case kindForeignKeyColumn: Key(dc, wxColour(150, 170, 200)); break;
    case kindNotCapable:
        dc.SetPen(wxPen(wxColour(200, 30, 30), 2));
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawCircle(8, 8, 6);
        dc.DrawLine(4, 12, 12, 4);
        break;
    case kindTableSortedAscending:
    case kindTableSortedDescending:
        Grid(dc, tableHeading);
        SortArrow(dc, kind == kindTableSortedAscending);
        break;
    case kindViewSortedAscending:
    case kindViewSortedDescending:
        Grid(dc, viewHeading);
        SortArrow(dc, kind == kindViewSortedAscending);
        break;
    default: break;
    }
}

void Person(wxDC& dc, int x, const wxColour& colour)
{
    dc.SetPen(wxPen(colour.ChangeLightness(60)));
    dc.SetBrush(wxBrush(colour));
    dc.DrawCircle(x, 5, 3);
    dc.DrawRoundedRectangle(x - 4, 9, 9, 6, 2);
}

void DrawSheetImage(wxDC& dc, int image)
{
    switch (image) {
    case imgCross:
        dc.SetPen(wxPen(wxColour(200, 30, 30), 3));
        dc.DrawLine(3, 3, 13, 13);
        dc.DrawLine(13, 3, 3, 13);
        break;
    case imgErrorDisc:
        dc.SetPen(wxPen(wxColour(140, 0, 0)));
        dc.SetBrush(wxBrush(wxColour(220, 30, 30)));
        dc.DrawCircle(8, 8, 6);
        dc.SetPen(wxPen(*wxWHITE, 2));
        dc.DrawLine(8, 4, 8, 9);
        dc.DrawLine(8, 11, 8, 12);
        break;
    case imgConnection: {
        dc.SetPen(wxPen(wxColour(40, 60, 110)));
        dc.SetBrush(wxBrush(wxColour(120, 150, 210)));
        const wxPoint top[] = {{2, 5}, {8, 2}, {14, 5}, {8, 8}};
        dc.DrawPolygon(4, top);
        dc.SetBrush(wxBrush(wxColour(80, 110, 180)));
        const wxPoint left[] = {{2, 5}, {8, 8}, {8, 15}, {2, 12}};
        dc.DrawPolygon(4, left);
        dc.SetBrush(wxBrush(wxColour(60, 85, 150)));
        const wxPoint right[] = {{8, 8}, {14, 5}, {14, 12}, {8, 15}};
        dc.DrawPolygon(4, right);
        break;
    }
    case imgTextLines:
        dc.SetPen(wxPen(wxColour(60, 60, 60)));
        dc.SetBrush(*wxWHITE_BRUSH);
        dc.DrawRectangle(2, 1, 12, 14);
        for (int y = 4; y <= 12; y += 3)
            dc.DrawLine(4, y, 12, y);
        break;
    case imgRelationship:
        dc.SetPen(wxPen(wxColour(40, 90, 40)));
        dc.SetBrush(wxBrush(wxColour(150, 210, 150)));
        dc.DrawRectangle(1, 1, 7, 6);
        dc.DrawRectangle(8, 9, 7, 6);
        dc.DrawLine(4, 7, 4, 12);
        dc.DrawLine(4, 12, 8, 12);
        break;
    case imgWindowLines:
        dc.SetPen(wxPen(wxColour(60, 70, 110)));
        dc.SetBrush(*wxWHITE_BRUSH);
        dc.DrawRectangle(1, 2, 14, 12);
        dc.SetBrush(wxBrush(wxColour(90, 120, 200)));
        dc.DrawRectangle(1, 2, 14, 3);
        dc.DrawLine(3, 8, 13, 8);
        dc.DrawLine(3, 11, 13, 11);
        break;
    case imgUser: Person(dc, 8, wxColour(90, 140, 210)); break;
    case imgGroup:
        Person(dc, 11, wxColour(150, 150, 200));
        Person(dc, 5, wxColour(90, 140, 210));
        break;
    case imgKey: Key(dc, wxColour(230, 190, 40)); break;
    default: break;
    }
}

} // namespace

wxImageList* CreatePropertySheetImageList()
{
    constexpr int size = 16;
    auto* images = new wxImageList(size, size, true, imgCount);
    for (int image = 0; image < imgCount; ++image) {
        wxBitmap bitmap(size, size, 24);
        {
            wxMemoryDC dc(bitmap);
            dc.SetBackground(wxBrush(kMask));
            dc.Clear();
            DrawSheetImage(dc, image);
        }
        images->Add(bitmap, kMask);
    }
    return images;
}

wxImageList* CreateSchemaImageList()
{
    auto* images = new wxImageList(kSize, kSize, true, kindCount);
    for (int kind = 0; kind < kindCount; ++kind) {
        wxBitmap bitmap(kSize, kSize, 24);
        {
            wxMemoryDC dc(bitmap);
            dc.SetBackground(wxBrush(kMask));
            dc.Clear();
            Draw(dc, kind);
        }
        images->Add(bitmap, kMask);
    }
    return images;
}
